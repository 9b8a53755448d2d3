#include "runner/BatchRun.h"

#include <algorithm>
#include <ctime>
#include <new>
#include <optional>
#include <string>

#include "runner/DecodedEngine.h"
#include "text/ProgramLine.h"

namespace quelvar {

BatchRun::BatchRun(std::string title, BatchPath path)
    : toolkit_(std::move(title)), form_(toolkit_), path_(path) {
  toolkit_.IgnoreBusy();  // nobody sees it
}

namespace {

constexpr uint64_t kEngineSlice = uint64_t{1} << 22;
constexpr uint64_t kTickSlice = uint64_t{1} << 12;

}  // namespace

bool BatchRun::Start(const std::string& descriptor, std::ostream* trace) {
  return Load(descriptor) && RunIt(trace);
}

bool BatchRun::Load(const std::string& descriptor) {
  toolkit_.FileDialog().WillChoose(descriptor);
  toolkit_.ChooseMenuItem("Load1");
  loaded_ = !Failed();
  return loaded_;
}

bool BatchRun::Load(const std::string& descriptor, const platform::FileTable& files) {
  toolkit_.ReadFilesFrom(files);
  return Load(descriptor);
}

bool BatchRun::RunIt(std::ostream* trace) {
  trace_ = trace;
  toolkit_.ChooseMenuItem("RunIt1");
  // "Run It" reloads both files and executes line 1 before it returns. Its tick, which sets the
  // period to 1 ms, is reached only when both files loaded; line 1 then started when the program
  // has one, also when it failed inside.
  const bool ticked = form_.Timer1->Period() == 1;
  lines_ = ticked && form_.List2->Count() >= 1 ? 1 : 0;
  if (lines_ == 1 && !Failed()) NoteWrap(form_.List2->Line(0));
  if (Tracing() && lines_ == 1) Trace(1, form_.List2->Line(0), !Failed());
  return !Failed();
}

bool BatchRun::RunIt(TraceSink& sink) {
  sink_ = &sink;
  return RunIt(nullptr);
}

void BatchRun::NoteWrap(std::string_view text) {
  const ProgramLine line = DecodeProgramLine(text);
  if (line.op == ProgramLine::Op::kSuccessor && form_.ReadReg(line.n) == INT16_MIN) {
    wrapped_ = true;
  }
}

void BatchRun::Trace(int32_t line, std::string_view text, bool done) const {
  if (sink_ != nullptr) return sink_->Line(line, text, done, form_);
  *trace_ << line << ": " << text;
  if (done) *trace_ << "  " << StepEffect(form_, text);
  *trace_ << '\n';
}

BatchEnd BatchRun::Finish(uint64_t maxLines, std::optional<double> cpuSeconds) {
  // A trace shows every line, so it needs the ticks. A program too large to decode in the memory
  // left runs on the ticks as well.
  bool decode = path_ == BatchPath::kDecoded && !Tracing();
  std::optional<DecodedEngine> engine;
  // With a time limit the lines run in slices, the clock read between two: a slice takes a few
  // milliseconds in the engine and about as long in ticks.
  const std::clock_t start = cpuSeconds ? std::clock() : 0;  // a system call: only with a limit
  const auto nextClock = [&] {
    const uint64_t slice = !cpuSeconds ? UINT64_MAX : decode ? kEngineSlice : kTickSlice;
    return lines_ + std::min(slice, UINT64_MAX - lines_);
  };
  uint64_t clockAt = nextClock();
  for (;;) {
    if (form_.RunFlag == 0) return BatchEnd::kFinished;
    if (form_.InstrIndex <= 0) return BatchEnd::kStalled;
    if (lines_ >= maxLines) return BatchEnd::kLineLimit;
    if (lines_ >= clockAt) {
      if (static_cast<double>(std::clock() - start) >= *cpuSeconds * CLOCKS_PER_SEC) {
        return BatchEnd::kTimeLimit;
      }
      clockAt = nextClock();
    }
    if (decode && !engine) {
      try {
        engine.emplace(form_);
      } catch (const std::bad_alloc&) {
        decode = false;
      }
    }
    if (engine) {
      uint64_t executed = 0;
      const uint64_t budget = std::min(maxLines, clockAt) - lines_;
      toolkit_.Dispatch([&] { engine->Run(budget, executed); });
      lines_ += executed;
      wrapped_ = wrapped_ || engine->Wrapped();
      if (Failed()) return BatchEnd::kFailed;
      if (executed > 0) continue;
    }
    // The tick executes its line unless fetching it fails; a failure inside the line itself still
    // counts the line.
    const int32_t line = form_.InstrIndex;
    const bool starts = line <= form_.List2->Count();
    const std::string text = starts ? std::string(form_.List2->Line(line - 1)) : std::string();
    toolkit_.Tick();
    if (starts) ++lines_;
    if (starts && !Failed()) NoteWrap(text);
    if (Tracing() && starts) Trace(line, text, !Failed());
    if (Failed()) return BatchEnd::kFailed;
  }
}

std::string BatchRun::Failure() const {
  return Failed() ? toolkit_.ErrorBoxes().front().text : std::string();
}

std::string BatchRun::Report() const {
  std::string report;
  for (int32_t i = 0; i < form_.List1->Count(); ++i) report.append(form_.List1->Line(i)) += '\n';
  if (loaded_) report.append("Instruction Index is: ").append(form_.Label3->Text()) += '\n';
  return report.append("Lines executed: ").append(std::to_string(lines_)) += '\n';
}

}  // namespace quelvar
