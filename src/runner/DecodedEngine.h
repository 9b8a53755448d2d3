#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "form/MainForm.h"

namespace quelvar {

// Runs a batch run's lines without the window's per-line work. Each program line is decoded once
// into what ANalyseCommand does with it, and the lines then execute in a tight loop on the form's
// registers. Whatever the loop cannot do exactly is left to the ordinary tick: a line that names a
// register outside the loaded ones, and any state other than a plain run in progress. When the
// loop stops, the displays show what the ticks would have left: the register list, the
// instruction index label, the frame, "Run It" and the run switch.
class DecodedEngine {
 public:
  // Decodes the form's program list, which must not change while the engine is in use.
  explicit DecodedEngine(TForm1& form);

  // Executes at most `maxLines` lines and sets `executed` to how many: 0 when the next line is
  // one for the tick. It stops after a line that leaves the program (its end, or a jump outside
  // it), as the tick that executes that line ends or stalls the run. `executed` is set before the
  // displays are brought up to date, so it counts the lines also when that fails.
  void Run(uint64_t maxLines, uint64_t& executed);

 private:
  enum class Kind : uint8_t {
    kNothing,
    kZero,
    kSuccessor,
    kTransfer,
    kJump,
    kJumpOut,
    kTick,
    kEnd
  };
  struct Step {
    int32_t kind;    // a Kind until the first run, then where its code starts in Run
    int32_t a;       // the register read (T, J) or written (Z, S)
    int32_t b;       // the register written (T) or compared (J)
    int32_t target;  // J's line
  };

  Step Decode(std::string_view text);
  bool CanRun() const;
  void ShowState(int32_t lineBefore);

  TForm1& form_;
  int32_t count_;
  size_t registers_;
  // Step k is program line k; step count + 1 marks the end of the program, step 0 is unused.
  std::vector<Step> steps_;
  bool threaded_ = false;
  // The displayed registers a line may write: only these lines of the register list can change.
  std::vector<int32_t> written_;
};

}  // namespace quelvar
