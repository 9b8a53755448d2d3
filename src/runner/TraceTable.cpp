#include "runner/TraceTable.h"

#include <fstream>
#include <stdexcept>
#include <unordered_map>

#include "text/ProgramLine.h"

namespace quelvar::runner {
namespace {

std::string Escaped(std::string_view text, std::string_view special, std::string_view before) {
  std::string escaped;
  for (const char c : text) {
    if (special.find(c) != std::string_view::npos) escaped += before;
    escaped += c;
  }
  return escaped;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  return "\"" + Escaped(text, "\"", "\"") + "\"";
}

std::string MarkdownText(std::string_view text) {
  return Escaped(text, "\\`*_[]<>|~#", "\\");
}

std::string TexText(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\textbackslash{}";
        break;
      case '^':
        escaped += "\\textasciicircum{}";
        break;
      case '~':
        escaped += "\\textasciitilde{}";
        break;
      case '{':
      case '}':
      case '$':
      case '&':
      case '#':
      case '_':
      case '%':
        escaped += '\\';
        escaped += c;
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace

TraceTable::TraceTable(TraceFormat format, uint64_t rowLimit, std::vector<std::string> sources,
                       std::ostream& out)
    : format_(format), rowLimit_(rowLimit), sources_(std::move(sources)), out_(out) {}

std::string TraceTable::Source(int32_t line) const {
  return line >= 1 && static_cast<size_t>(line) <= sources_.size() ? sources_[line - 1] : "";
}

void TraceTable::Line(int32_t line, std::string_view text, bool done, const TForm1& form) {
  ++lines_;
  if (format_ == TraceFormat::kText) {
    out_ << line << ": " << text;
    if (done) out_ << "  " << StepEffect(form, text);
    out_ << "  from " << Source(line) << '\n';
    return;
  }
  if (rowLimit_ != 0 && rows_.size() >= rowLimit_) return;
  if (rows_.empty()) {
    for (int32_t r = 1; r <= form.RegCount; ++r) first_.push_back(form.ReadReg(r));
  }
  const ProgramLine decoded = DecodeProgramLine(text);
  const bool wrote =
      done && decoded.op != ProgramLine::Op::kNothing && decoded.op != ProgramLine::Op::kJump;
  const int32_t reg = wrote ? decoded.n : 0;
  if (wrote && (reg < 1 || reg > form.RegCount)) others_.insert(reg);
  rows_.push_back({line, std::string(text), reg, wrote ? form.ReadReg(reg) : int16_t{0}, wrote});
}

std::vector<std::string> TraceTable::Header() const {
  std::vector<std::string> header{"step", "line", "instruction"};
  if (!sources_.empty()) header.push_back("source");
  for (size_t r = 1; r <= first_.size(); ++r) header.push_back("R" + std::to_string(r));
  for (const int32_t r : others_) header.push_back("R" + std::to_string(r));
  return header;
}

template <typename Each>
void TraceTable::ForEachRow(Each each) const {
  std::vector<int16_t> data = first_;
  std::unordered_map<int32_t, int16_t> others;
  uint64_t step = 0;
  for (const Row& row : rows_) {
    if (row.wrote && row.reg >= 1 && static_cast<size_t>(row.reg) <= data.size()) {
      data[row.reg - 1] = row.value;
    } else if (row.wrote) {
      others[row.reg] = row.value;
    }
    std::vector<std::string> values;
    for (const int16_t value : data) values.push_back(std::to_string(value));
    for (const int32_t r : others_) values.push_back(std::to_string(others[r]));
    each(++step, row, values);
  }
}

void TraceTable::Finish() const {
  switch (format_) {
    case TraceFormat::kCsv:
      return WriteCsv();
    case TraceFormat::kMarkdown:
      return WriteMarkdown();
    case TraceFormat::kTex:
      return WriteTex();
    case TraceFormat::kText:
      return;
  }
}

void TraceTable::WriteCsv() const {
  const std::vector<std::string> header = Header();
  for (size_t k = 0; k < header.size(); ++k) out_ << (k > 0 ? "," : "") << header[k];
  out_ << '\n';
  ForEachRow([this](uint64_t step, const Row& row, const std::vector<std::string>& values) {
    out_ << step << ',' << row.line << ',' << CsvField(row.text);
    if (!sources_.empty()) out_ << ',' << CsvField(Source(row.line));
    for (const std::string& value : values) out_ << ',' << value;
    out_ << '\n';
  });
}

void TraceTable::WriteMarkdown() const {
  const std::vector<std::string> header = Header();
  std::string rule = "|";
  for (const std::string& name : header) {
    out_ << "| " << name << ' ';
    rule += name == "instruction" || name == "source" ? " --- |" : " ---: |";
  }
  out_ << "|\n" << rule << '\n';
  ForEachRow([this](uint64_t step, const Row& row, const std::vector<std::string>& values) {
    out_ << "| " << step << " | " << row.line << " | " << MarkdownText(row.text) << " |";
    if (!sources_.empty()) out_ << ' ' << MarkdownText(Source(row.line)) << " |";
    for (const std::string& value : values) out_ << ' ' << value << " |";
    out_ << '\n';
  });
  if (rows_.size() < lines_) {
    out_ << "\nThe first " << rows_.size() << " of " << lines_ << " lines.\n";
  }
}

// A whole document: longtable breaks a long run across pages and repeats the header on each; the
// narrow margins and the small type keep a dozen registers within the page's width, and the
// source column wraps its call chains.
void TraceTable::WriteTex() const {
  const std::vector<std::string> header = Header();
  const size_t registers = header.size() - (sources_.empty() ? 3 : 4);
  out_ << "\\documentclass{article}\n"
          "\\usepackage[a4paper,margin=15mm]{geometry}\n"
          "\\usepackage{array,longtable}\n"
          "\\begin{document}\n"
       << (registers > 10 ? "\\scriptsize\n" : "\\footnotesize\n")
       << "\\setlength{\\tabcolsep}{3pt}\n"
          "\\begin{longtable}{rrl"
       << (sources_.empty() ? "" : ">{\\raggedright\\arraybackslash}p{14em}")
       << std::string(registers, 'r') << "}\n";
  for (size_t k = 0; k < header.size(); ++k) out_ << (k > 0 ? " & " : "") << header[k];
  out_ << " \\\\\n\\hline\n\\endhead\n";
  ForEachRow([this](uint64_t step, const Row& row, const std::vector<std::string>& values) {
    out_ << step << " & " << row.line << " & \\texttt{" << TexText(row.text) << '}';
    if (!sources_.empty()) out_ << " & \\texttt{" << TexText(Source(row.line)) << '}';
    for (const std::string& value : values) out_ << " & " << value;
    out_ << " \\\\\n";
  });
  out_ << "\\end{longtable}\n";
  if (rows_.size() < lines_) {
    out_ << "The first " << rows_.size() << " of " << lines_ << " lines.\n";
  }
  out_ << "\\end{document}\n";
}

std::vector<std::string> ReadLineMap(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("quelvar-run: cannot read the line map " + path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace quelvar::runner
