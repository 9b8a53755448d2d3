#pragma once

#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "runner/BatchRun.h"
#include "runner/Options.h"

namespace quelvar::runner {

// A run's trace as a table, one row an executed line: its step, its line, its instruction, the
// source line a line map names for it, then the registers after the line ran: those of the data
// form, and every other register the shown rows wrote. Rows are kept until the run ends, since
// the columns are known only then; at most `rowLimit` of them (0: all). In the text format, rows
// are the text trace's lines, written as they come, with the source line after them.
class TraceTable final : public TraceSink {
 public:
  TraceTable(TraceFormat format, uint64_t rowLimit, std::vector<std::string> sources,
             std::ostream& out);

  void Line(int32_t line, std::string_view text, bool done, const TForm1& form) override;
  // Writes the table; nothing for the text format, which is written already.
  void Finish() const;

 private:
  struct Row {
    int32_t line;
    std::string text;
    int32_t reg;  // the register the line wrote, 0 with `wrote` false when none
    int16_t value;
    bool wrote;
  };
  std::string Source(int32_t line) const;
  std::vector<std::string> Header() const;
  void WriteCsv() const;
  void WriteMarkdown() const;
  void WriteTex() const;
  // Calls `row` with each row's cells, registers as they were after its line.
  template <typename Each>
  void ForEachRow(Each row) const;

  TraceFormat format_;
  uint64_t rowLimit_;
  std::vector<std::string> sources_;
  std::ostream& out_;
  uint64_t lines_ = 0;
  std::vector<int16_t> first_;  // the data form's registers after the first row
  std::set<int32_t> others_;    // the registers outside the data form that rows wrote
  std::vector<Row> rows_;
};

// A line map's lines: the source of output line k is line k.
std::vector<std::string> ReadLineMap(const std::string& path);

}  // namespace quelvar::runner
