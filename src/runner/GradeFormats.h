#pragma once

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "runner/CaseRun.h"
#include "runner/Options.h"

namespace quelvar::runner {

// A submission's totals once its cases have run.
struct Totals {
  uint64_t passed = 0;
  uint64_t total = 0;
  uint64_t points = 0;
  uint64_t maxPoints = 0;
  uint64_t lines = 0;
  bool wrapped = false;
  bool customPoints = false;  // a case gave its own points
  std::string firstFailure;   // "TITLE: INPUTS => WHY" of the first failing case
  std::string unloadable;     // "quelvar-run: FILE: MESSAGE" when nothing could be loaded
  double seconds = 0;         // wall time of the grading
};

// Writes one submission's grading in a format, as its cases run: Begin, then either Unloadable
// or Case for each case, then End. Each format holds only what its totals need.
class GradeReport {
 public:
  virtual ~GradeReport() = default;
  // `files`: the descriptor and its files, as FilesJson gives them.
  virtual void Begin(const nlohmann::json& files) = 0;
  virtual void Unloadable(const std::string& file, const std::string& message) = 0;
  virtual void Case(const CaseResult& result) = 0;
  virtual void End(const Totals& totals) = 0;
};

// The report of a single submission in `format`; `nested` for one of many (a JUnit test suite, a
// TAP subtest body, a JSON object of the summary's list). Against a model (`reference`), the text
// says only the first data form where the two differ, and how many agree.
std::unique_ptr<GradeReport> MakeReport(Format format, std::ostream& out, bool nested,
                                        bool reference);

// What a format writes around the submissions' reports when there are many.
void BeginMany(Format format, std::ostream& out);
void BetweenMany(Format format, std::ostream& out, uint64_t k, const std::string& name,
                 const std::string& report, bool pass);
void EndMany(Format format, std::ostream& out, uint64_t count, const nlohmann::json& summary);

// Adds a case's verdict to `totals`.
void Count(Totals& totals, const CaseResult& result);

// "quelvar-run: FILE: MESSAGE", or without FILE when there is none.
std::string RunnerMessage(const std::string& file, const std::string& message);

}  // namespace quelvar::runner
