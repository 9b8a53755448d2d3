#include "runner/DecodedEngine.h"

#include <algorithm>

#include "text/ProgramLine.h"

namespace quelvar {

DecodedEngine::DecodedEngine(TForm1& form)
    : form_(form), count_(form.List2->Count()), registers_(form.Regs.size()) {
  steps_.resize(static_cast<size_t>(count_) + 2, {static_cast<int32_t>(Kind::kTick), 0, 0, 0});
  for (int32_t k = 1; k <= count_; ++k) steps_[k] = Decode(form.List2->Line(k - 1));
  steps_[static_cast<size_t>(count_) + 1].kind = static_cast<int32_t>(Kind::kEnd);
  std::sort(written_.begin(), written_.end());
  written_.erase(std::unique(written_.begin(), written_.end()), written_.end());
}

DecodedEngine::Step DecodedEngine::Decode(std::string_view text) {
  using Op = ProgramLine::Op;
  const ProgramLine line = DecodeProgramLine(text);
  const auto held = [this](int32_t n) { return n >= 0 && static_cast<size_t>(n) < registers_; };
  const auto step = [](Kind kind, int32_t a = 0, int32_t b = 0, int32_t target = 0) {
    return Step{static_cast<int32_t>(kind), a, b, target};
  };
  if (line.op == Op::kNothing) return step(Kind::kNothing);
  // Registers outside the loaded ones live in the form's map: rare, and left to the tick.
  if (!held(line.n) || (line.op != Op::kZero && line.op != Op::kSuccessor && !held(line.m))) {
    return step(Kind::kTick);
  }
  if (line.op != Op::kJump) {
    if (line.n >= 1 && line.n <= form_.DisplayedRegCount()) written_.push_back(line.n);
  }
  switch (line.op) {
    case Op::kZero:
      return step(Kind::kZero, line.n);
    case Op::kSuccessor:
      return step(Kind::kSuccessor, line.n);
    case Op::kTransfer:
      return step(Kind::kTransfer, line.m, line.n);
    default: {
      const bool inside = line.q >= 1 && static_cast<int64_t>(line.q) <= int64_t{count_} + 1;
      return step(inside ? Kind::kJump : Kind::kJumpOut, line.m, line.n, line.q);
    }
  }
}

bool DecodedEngine::CanRun() const {
  return form_.RunFlag == 1 && form_.InstrIndex >= 1 && form_.InstrIndex <= count_ &&
         form_.List2->Count() == count_ && form_.Regs.size() == registers_ &&
         form_.Timer1->Period() == 1 && form_.List1->Count() == form_.DisplayedRegCount() &&
         form_.List1->Selected() < 0;
}

// Threaded code: each step holds where its code starts, as an offset from the first label, and
// every piece of code jumps straight to the next step's. Each line checks the budget before it
// executes, so a run stops exactly at its limit.
#define QUELVAR_NEXT goto*(code + s->kind)
#define QUELVAR_LINE        \
  if (left == 0) goto stop; \
  --left

void DecodedEngine::Run(uint64_t maxLines, uint64_t& executed) {
  executed = 0;
  if (maxLines == 0 || !CanRun()) return;
  char* const code = static_cast<char*>(&&nothing);
  if (!threaded_) {
    const auto at = [code](void* label) {
      return static_cast<int32_t>(static_cast<char*>(label) - code);
    };
    const int32_t offsets[] = {0,          at(&&zero),    at(&&successor), at(&&transfer),
                               at(&&jump), at(&&jumpOut), at(&&stop),      at(&&stop)};
    for (Step& step : steps_) step.kind = offsets[step.kind];
    threaded_ = true;
  }
  int16_t* const r = form_.Regs.data();
  const Step* const first = steps_.data();
  const int32_t lineBefore = form_.InstrIndex;
  const Step* s = first + lineBefore;
  uint64_t left = maxLines;
  int32_t line = 0;

  QUELVAR_NEXT;
nothing:
  // A line the machine does not know leaves the index where it is, so it runs again at every
  // line until the budget is spent.
  left = 0;
  goto stop;
zero:
  QUELVAR_LINE;
  r[s->a] = 0;
  ++s;
  QUELVAR_NEXT;
successor:
  QUELVAR_LINE;
  r[s->a] = static_cast<int16_t>(r[s->a] + 1);
  ++s;
  QUELVAR_NEXT;
transfer:
  QUELVAR_LINE;
  r[s->b] = r[s->a];
  ++s;
  QUELVAR_NEXT;
jump:
  QUELVAR_LINE;
  s = r[s->a] == r[s->b] ? first + s->target : s + 1;
  QUELVAR_NEXT;
jumpOut:
  QUELVAR_LINE;
  if (r[s->a] == r[s->b]) {
    line = s->target;
    goto done;
  }
  ++s;
  QUELVAR_NEXT;
stop:
  line = static_cast<int32_t>(s - first);
done:
  executed = maxLines - left;
  if (executed > 0) {
    form_.InstrIndex = line;
    ShowState(lineBefore);
  }
}

#undef QUELVAR_NEXT
#undef QUELVAR_LINE

// What the ticks leave, shown once: the frame moved from the line the engine started at to the
// line that runs next, the register lines of what changed, the index, and the end of the run.
void DecodedEngine::ShowState(int32_t lineBefore) {
  form_.List2->SetBrushColor(platform::clBtnFace);
  form_.FrameLine(lineBefore);
  form_.Button4->SetEnabled(false);
  for (const int32_t n : written_) {
    const ShortText text = RegisterLine(n, form_.Regs[n]);
    if (form_.List1->Line(n - 1) != std::string_view(text)) form_.List1->Replace(n - 1, text);
  }
  form_.Label3->SetText(DecimalText(form_.InstrIndex));
  if (count_ < form_.InstrIndex) form_.EndRun();
  form_.List2->SetBrushColor(platform::kBlue);
  form_.FrameLine(form_.InstrIndex);
}

}  // namespace quelvar
