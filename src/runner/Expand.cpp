#include "runner/Expand.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <optional>
#include <regex>

#include "platform/File.h"
#include "text/ProgramLine.h"
#include "text/ProgramText.h"

namespace quelvar::runner {
namespace {

namespace fs = std::filesystem;
using Op = ProgramLine::Op;

// The data form stops where the window's register list does: a source that names R2000000000
// gets no file of two billion lines.
constexpr int32_t kMaxDataRegisters = 32767;

struct Call {
  std::string file;
  std::vector<int32_t> inputs;
  int32_t result = 0;
};

// "CALL FILE [L1,...,Ln -> L]", registers 1 or more; false when the line is no call.
bool ParseCall(const std::string& line, Call& call, const std::string& where) {
  if (line.rfind("CALL", 0) != 0) return false;
  static const std::regex form(R"(CALL\s+(\S+)\s*\[\s*([0-9,\s]*?)\s*->\s*([0-9]+)\s*\]\s*)");
  std::smatch match;
  if (!std::regex_match(line, match, form)) {
    throw ExpandError(where + ": a call is written CALL FILE [L1,...,Ln -> L]");
  }
  auto number = [&where](const std::string& text) {
    const long value = text.size() > 10 ? 0 : std::stol(text);
    if (value < 1 || value > std::numeric_limits<int32_t>::max()) {
      throw ExpandError(where + ": a call's registers are 1 to 2147483647, not " + text);
    }
    return static_cast<int32_t>(value);
  };
  call.file = match[1];
  const std::string inputs = match[2];
  static const std::regex field(R"(\s*([0-9]+)\s*(,|$))");
  size_t pos = 0;
  while (pos < inputs.size()) {
    std::smatch one;
    const std::string rest = inputs.substr(pos);
    if (!std::regex_search(rest, one, field, std::regex_constants::match_continuous)) {
      throw ExpandError(where + ": a call is written CALL FILE [L1,...,Ln -> L]");
    }
    call.inputs.push_back(number(one[1]));
    pos += one.length(0);
  }
  call.result = number(match[3]);
  return true;
}

std::vector<std::string> ReadLines(const fs::path& file) {
  std::vector<std::string> lines;
  platform::ReadProgramText(file.string(), [&lines](ByteSource& text) {
    lines.clear();
    SplitProgramText(text, [&lines](std::string_view line) { lines.emplace_back(line); });
  });
  return lines;
}

// The registers a Z, S, T or J line names; none for any other line.
std::vector<int32_t> Registers(const ProgramLine& line) {
  switch (line.op) {
    case Op::kZero:
    case Op::kSuccessor:
      return {line.n};
    case Op::kTransfer:
    case Op::kJump:
      return {line.m, line.n};
    case Op::kNothing:
      break;
  }
  return {};
}

std::string Text(const ProgramLine& line) {
  const auto s = [](int32_t v) { return std::to_string(v); };
  switch (line.op) {
    case Op::kZero:
      return "Z(" + s(line.n) + ")";
    case Op::kSuccessor:
      return "S(" + s(line.n) + ")";
    case Op::kTransfer:
      return "T(" + s(line.m) + "," + s(line.n) + ")";
    default:
      return "J(" + s(line.m) + "," + s(line.n) + "," + s(line.q) + ")";
  }
}

int32_t Moved(int32_t reg, int64_t by, const std::string& origin) {
  if (reg < 1) {
    throw ExpandError(origin +
                      ": a called program's registers are 1 or more, so that they can "
                      "move to fresh ones; this line names R" +
                      std::to_string(reg));
  }
  if (reg + by > std::numeric_limits<int32_t>::max()) {
    throw ExpandError(origin + ": the call needs registers beyond R2147483647");
  }
  return static_cast<int32_t>(reg + by);
}

void AddLine(Expansion& out, std::string text, std::string origin) {
  if (out.lines.size() >= kMaxExpandedLines) {
    throw ExpandError(origin + ": the expansion has more than " +
                      std::to_string(kMaxExpandedLines) + " lines");
  }
  out.lines.push_back({std::move(text), std::move(origin)});
}

// The work registers a call uses above M: the callee's, and at least its inputs and its R1.
int64_t Width(const Expansion& callee, const Call& call) {
  return std::max<int64_t>({callee.registers, static_cast<int64_t>(call.inputs.size()), 1});
}

}  // namespace

const Expansion& Expander::Expand(const fs::path& file, const std::string& shown) {
  const fs::path key = fs::weakly_canonical(file);
  const auto cycle = std::find(calling_.begin(), calling_.end(), key);
  if (cycle != calling_.end()) {
    std::string chain;
    for (auto k = static_cast<size_t>(cycle - calling_.begin()); k < calling_.size(); ++k) {
      chain += callingShown_[k] + " -> ";
    }
    throw ExpandError("recursion in the calls: " + chain + shown);
  }
  if (const auto known = done_.find(key); known != done_.end()) return known->second;
  calling_.push_back(key);
  callingShown_.push_back(shown);

  const std::vector<std::string> lines = ReadLines(file);
  const auto where = [&shown](size_t k) { return shown + ":" + std::to_string(k + 1); };
  // First the calls and the registers, so that every line knows where the others will go.
  std::vector<std::optional<Call>> calls(lines.size());
  std::vector<const Expansion*> callees(lines.size(), nullptr);
  Expansion out;
  for (size_t k = 0; k < lines.size(); ++k) {
    Call call;
    if (ParseCall(lines[k], call, where(k))) {
      const fs::path callee = file.parent_path() / call.file;
      const std::string calleeShown =
          (fs::path(shown).parent_path() / call.file).lexically_normal().string();
      try {
        callees[k] = &Expand(callee, calleeShown);
      } catch (const ExpandError&) {
        throw;
      } catch (const std::exception& failure) {
        throw ExpandError(where(k) + ": " + failure.what());
      }
      for (const int32_t reg : call.inputs) out.ownRegisters = std::max(out.ownRegisters, reg);
      out.ownRegisters = std::max(out.ownRegisters, call.result);
      calls[k] = std::move(call);
    } else {
      for (const int32_t reg : Registers(DecodeProgramLine(lines[k]))) {
        out.ownRegisters = std::max(out.ownRegisters, reg);
      }
    }
  }
  const int64_t base = out.ownRegisters;
  int64_t top = base;
  std::vector<int64_t> start(lines.size() + 1, 1);
  for (size_t k = 0; k < lines.size(); ++k) {
    int64_t size = 1;
    if (calls[k]) {
      const int64_t width = Width(*callees[k], *calls[k]);
      size = width + static_cast<int64_t>(callees[k]->lines.size()) + 1;
      top = std::max(top, base + width);
    }
    start[k + 1] = start[k] + size;
    if (start[k + 1] > static_cast<int64_t>(kMaxExpandedLines) + 1) {
      throw ExpandError(where(k) + ": the expansion has more than " +
                        std::to_string(kMaxExpandedLines) + " lines");
    }
  }
  if (top > std::numeric_limits<int32_t>::max()) {
    throw ExpandError(shown + ": the calls need registers beyond R2147483647");
  }
  out.registers = static_cast<int32_t>(top);
  const int64_t end = start[lines.size()];
  // A jump of this file's own: to where its target line went, or past the end.
  const auto target = [&](int32_t q) -> int32_t {
    if (q <= 0) return q;
    return static_cast<int32_t>(static_cast<size_t>(q) <= lines.size() ? start[q - 1] : end);
  };

  for (size_t k = 0; k < lines.size(); ++k) {
    if (!calls[k]) {
      ProgramLine line = DecodeProgramLine(lines[k]);
      if (line.op == Op::kJump) line.q = target(line.q);
      AddLine(out, line.op == Op::kJump ? Text(line) : lines[k], where(k));
      continue;
    }
    const Call& call = *calls[k];
    const Expansion& callee = *callees[k];
    const int64_t width = Width(callee, call);
    for (size_t i = 0; i < call.inputs.size(); ++i) {
      AddLine(out, Text({Op::kTransfer, call.inputs[i], static_cast<int32_t>(base + i + 1), 0}),
              where(k));
    }
    for (int64_t r = static_cast<int64_t>(call.inputs.size()) + 1; r <= width; ++r) {
      AddLine(out, Text({Op::kZero, 0, static_cast<int32_t>(base + r), 0}), where(k));
    }
    const int64_t first = start[k] + width;
    const int64_t copyOut = first + static_cast<int64_t>(callee.lines.size());
    for (const ExpandedLine& inner : callee.lines) {
      const std::string origin = where(k) + " > " + inner.origin;
      ProgramLine line = DecodeProgramLine(inner.text);
      if (line.op == Op::kNothing) {
        AddLine(out, inner.text, origin);
        continue;
      }
      line.n = Moved(line.n, base, origin);
      if (line.op == Op::kTransfer || line.op == Op::kJump) line.m = Moved(line.m, base, origin);
      if (line.op == Op::kJump && line.q > 0) {
        const bool inside = static_cast<size_t>(line.q) <= callee.lines.size();
        line.q = static_cast<int32_t>(inside ? first + line.q - 1 : copyOut);
      }
      AddLine(out, Text(line), origin);
    }
    AddLine(out, Text({Op::kTransfer, static_cast<int32_t>(base + 1), call.result, 0}), where(k));
  }
  calling_.pop_back();
  callingShown_.pop_back();
  return done_.emplace(key, std::move(out)).first->second;
}

void WriteExpansion(const Expansion& expansion, const std::string& descriptor,
                    const std::string& sourceShown) {
  const fs::path rm(descriptor);
  const std::string stem = rm.stem().string();
  const fs::path folder = rm.parent_path();
  const auto write = [](const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    if (!file.flush()) throw ExpandError("quelvar-run: cannot write " + path.string());
  };
  std::string data, program, map;
  const int32_t registers = std::clamp(expansion.ownRegisters, 1, kMaxDataRegisters);
  for (int32_t r = 1; r <= registers; ++r) data += "0\r\n";
  for (const ExpandedLine& line : expansion.lines) {
    program += line.text + "\r\n";
    map += line.origin + "\r\n";
  }
  write(folder / (stem + "-data.txt"), data);
  write(folder / (stem + "-program.txt"), program);
  write(folder / (stem + ".map"), map);
  write(rm, "Expanded from " + sourceShown + "\r\n" + stem + "-data.txt\r\n" + stem +
                "-program.txt\r\n");
}

}  // namespace quelvar::runner
