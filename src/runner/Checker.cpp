#include "runner/Checker.h"

#include <algorithm>
#include <exception>

#include "form/MainForm.h"
#include "platform/File.h"
#include "runner/FileChecks.h"
#include "runner/RunInputs.h"
#include "text/ProgramLine.h"
#include "text/ValInteger.h"

namespace quelvar::runner {
namespace {

// A line as the user wrote it, cut short when long.
std::string Quoted(std::string_view text) {
  constexpr size_t kShown = 40;
  return "'" + std::string(text.substr(0, kShown)) + (text.size() > kShown ? "...'" : "'");
}

bool PlainDecimal(std::string_view text) {
  return !text.empty() && text.size() <= 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
         ValInteger(text).errorPos == 0;
}

}  // namespace

std::string Canonical(const ProgramLine& line) {
  const auto n = [](int32_t value) { return std::to_string(value); };
  switch (line.op) {
    case ProgramLine::Op::kZero:
      return "Z(" + n(line.n) + ")";
    case ProgramLine::Op::kSuccessor:
      return "S(" + n(line.n) + ")";
    case ProgramLine::Op::kTransfer:
      return "T(" + n(line.m) + "," + n(line.n) + ")";
    case ProgramLine::Op::kJump:
      return "J(" + n(line.m) + "," + n(line.n) + "," + n(line.q) + ")";
    default:
      return "nothing";
  }
}

std::string Diagnostic(const Finding& finding) {
  return finding.file + (finding.line > 0 ? ":" + std::to_string(finding.line) : "") +
         ": warning: " + finding.text;
}

std::vector<std::string> CheckLine(std::string_view text, int32_t count, int32_t registers,
                                   int32_t shown) {
  std::vector<std::string> found;
  const ProgramLine line = DecodeProgramLine(text);
  if (line.op == ProgramLine::Op::kNothing) {
    found.push_back(
        (text.empty() ? "empty line" : Quoted(text) + " does not start with Z, S, T or J") +
        std::string(": it changes nothing, and a run that reaches it stays on it"));
    return found;
  }
  const std::string does = Quoted(text) + " does " + Canonical(line);

  // The shape of the text, and what each operand's text is read as.
  std::vector<std::string_view> operands;
  if (line.op == ProgramLine::Op::kZero || line.op == ProgramLine::Op::kSuccessor) {
    if (text.size() < 4 || text[1] != '(' || text.back() != ')') {
      found.push_back(does +
                      ": the operand is read from the third character to the one before last");
    }
    operands.push_back(CutOperand(text));
  } else {
    const bool jump = line.op == ProgramLine::Op::kJump;
    if (text.size() < 2 || text[1] != '(') {
      found.push_back(does + ": its operands are read from the third character on");
    }
    size_t pos = 2;
    const char* names[] = {"first", "second", "third"};
    const char delimiters[] = {',', jump ? ',' : ')', ')'};
    for (int i = 0; i < (jump ? 3 : 2); ++i) {
      const Field field = NextField(text, pos, delimiters[i]);
      operands.push_back(field.text);
      if (!field.delimited) {
        found.push_back(does + ": no '" + delimiters[i] + "' after the " + names[i] +
                        " operand, so it runs to the end of the line" +
                        (i + 1 < (jump ? 3 : 2) ? " and the operands after it are 0" : ""));
        break;
      }
    }
    if (pos < text.size()) {
      found.push_back(does + ": the text after ')' is ignored: " + Quoted(text.substr(pos)));
    }
  }
  for (const std::string_view operand : operands) {
    if (operand.empty()) {
      found.push_back("an empty operand is read as 0");
    } else if (!PlainDecimal(operand)) {
      found.push_back("operand " + Quoted(operand) +
                      " is not a plain decimal number: it is read as " +
                      std::to_string(ValInteger(operand).value));
    }
  }

  // The registers named, and the jump target.
  std::vector<int32_t> named;
  if (line.op == ProgramLine::Op::kTransfer || line.op == ProgramLine::Op::kJump) {
    named.push_back(line.m);
  }
  named.push_back(line.n);
  for (const int32_t r : named) {
    const std::string R = "R" + std::to_string(r);
    if (r == 0) {
      found.push_back(
          "R0 is a scratch register, never shown: a load does not reset it, so it starts at 0 "
          "only in the first run of a window (and in every quelvar-run run), and keeps its value "
          "across Run Its");
    } else if (r < 0) {
      found.push_back(R + " is a scratch register: each load sets it to 0, and it is never shown");
    } else if (r > registers) {
      found.push_back(R + " is beyond the data form's " + std::to_string(registers) +
                      " registers: a scratch register that each load sets to 0, never shown");
    } else if (r > shown) {
      found.push_back(R + " is beyond the " + std::to_string(shown) + " registers shown");
    }
  }
  if (line.op == ProgramLine::Op::kJump) {
    if (line.q <= 0) {
      found.push_back("jump target " + std::to_string(line.q) +
                      ": a run that jumps there stalls, and Next fails");
    } else if (int64_t{line.q} > int64_t{count} + 1) {
      found.push_back("jump target " + std::to_string(line.q) + " is beyond line " +
                      std::to_string(count + 1) +
                      ", the end: a jump there ends the run with no line framed");
    }
  }
  return found;
}

std::vector<Finding> CheckFiles(const TForm1& form, const RunInputs& inputs) {
  std::vector<Finding> found;
  // The files as the load named them. One that cannot be read is the load's to report.
  if (!form.ProgramFileName.empty()) {
    try {
      inputs.Files().ReadProgramText(form.ProgramFileName, [&](ByteSource& source) {
        ProgramTextCheck check(inputs.ProgramShown());
        char piece[64 * 1024];
        for (size_t got; (got = source.Read(piece, sizeof piece)) > 0;) check.Feed({piece, got});
        found = check.Finish();
      });
    } catch (const std::exception&) {
      found.clear();
    }
  }
  if (!form.DataFileName.empty()) {
    std::vector<Finding> data;
    try {
      inputs.Files().ReadConsistently(form.DataFileName, [&](ByteSource& source) {
        DataFormCheck check(inputs.DataFormShown());
        char piece[64 * 1024];
        for (size_t got; (got = source.Read(piece, sizeof piece)) > 0;) check.Feed({piece, got});
        data = check.Finish();
      });
    } catch (const std::exception&) {
      data.clear();
    }
    found.insert(found.end(), data.begin(), data.end());
  }
  return found;
}

std::vector<Finding> CheckLoaded(const TForm1& form, const RunInputs& inputs) {
  std::vector<Finding> found;
  const int32_t count = form.List2->Count();
  if (count == 0) {
    found.push_back({inputs.ProgramShown(), 0,
                     "the program text has no line: any run fails with \"List index out of "
                     "bounds (0)\""});
  }
  for (int32_t k = 1; k <= count; ++k) {
    if (k == 1 && form.List2->Line(0).starts_with(kByteOrderMark)) {
      found.push_back({inputs.ProgramShown(), 1,
                       "the program text starts with a UTF-8 byte-order mark (bytes EF BB BF), "
                       "which editors do not show: to the machine line 1 does not start with Z, "
                       "S, T or J, so it changes nothing, and a run that reaches it stays on it"});
      continue;
    }
    for (std::string& text :
         CheckLine(form.List2->Line(k - 1), count, form.RegCount, form.DisplayedRegCount())) {
      found.push_back({inputs.ProgramShown(), k, std::move(text)});
    }
  }
  return found;
}

}  // namespace quelvar::runner
