#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "form/MainForm.h"

namespace quelvar {

// Runs a batch run's lines without the window's per-line work. Each program line is decoded once
// into what ANalyseCommand does with it, and the lines then execute in a tight loop on the form's
// registers the program names, each in a cell of the engine's own for the length of a run, those
// outside the loaded ones (the form's OuterRegs) included. Any state other than a plain run in
// progress is left to the ordinary tick. When the
// loop stops, the displays show what the ticks would have left: the register list, the
// instruction index label, the frame, "Run It" and the run switch.
class DecodedEngine {
 public:
  // Decodes the form's program list, which must not change while the engine is in use.
  explicit DecodedEngine(TForm1& form);

  // Executes at most `maxLines` lines and sets `executed` to how many: 0 when the form is not in
  // a plain run. It stops after a line that leaves the program (its end, or a jump outside
  // it), as the tick that executes that line ends or stalls the run. `executed` is set before the
  // displays are brought up to date, so it counts the lines also when that fails.
  void Run(uint64_t maxLines, uint64_t& executed);
  // Whether an S has taken a register from 32767 round to -32768 in any run so far.
  bool Wrapped() const { return wrapped_; }

 private:
  enum class Kind : uint8_t {
    kNothing,
    kZero,
    kSuccessor,
    kTransfer,
    kJump,
    kJumpOut,
    kEnd,
    // The same writes to a register outside the loaded ones, which also mark it as written.
    kZeroOuter,
    kSuccessorOuter,
    kTransferOuter
  };
  struct Step {
    int32_t kind;    // a Kind until the first run, then where its code starts in Run
    int32_t a;       // the cell read (T, J)
    int32_t b;       // the cell written (Z, S, T) or compared (J)
    int32_t target;  // J's line
  };
  // A register the program names, held in a cell of the engine's own while it runs.
  struct Named {
    int32_t number;
    bool outer;    // outside the loaded registers: it lives in OuterRegs
    bool written;  // a line writes it
  };
  Step Decode(std::string_view text);
  int32_t Cell(int32_t n, bool written);
  Step Write(Kind kind, Kind outerKind, int32_t from, int32_t n);
  bool CanRun() const;
  void ShowState(int32_t lineBefore);

  TForm1& form_;
  int32_t count_;
  size_t registers_;
  // Step k is program line k; step count + 1 marks the end of the program, step 0 is unused.
  std::vector<Step> steps_;
  bool threaded_ = false;
  bool wrapped_ = false;
  // The displayed registers a line may write: only these lines of the register list can change.
  std::vector<int32_t> written_;
  // The registers the program names, one cell each: filled from the form when a run starts and
  // given back when it stops. As for the tick, only a write that executes puts a register into
  // OuterRegs, so the cells outside the loaded registers are marked when written.
  std::vector<Named> named_;
  std::vector<int16_t> cells_;
  std::vector<uint8_t> outerWritten_;
  std::unordered_map<int32_t, int32_t> cellOf_;
};

}  // namespace quelvar
