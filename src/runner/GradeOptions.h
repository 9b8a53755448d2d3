#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runner/Options.h"

// Only the files that declare or check options include CLI11: every file that does builds its
// ready-made validators when the program starts.
namespace CLI {
class App;
}  // namespace CLI

namespace quelvar::runner {

// The grader's options: --reference, --inputs, --summary.
void AddGradeOptions(CLI::App& app, Options& options);
// Throws CLI::ValidationError for grading options that do not go together.
void CheckGradeOptions(const Options& options);

// Whether the descriptors given are submissions to grade one by one: more than one, or a folder.
bool ManySubmissions(const Options& options);
// The descriptors given, each folder replaced by the .rm files inside it (at any depth), sorted.
std::vector<std::string> SubmissionList(const Options& options);

// --inputs: a data form's values a register, each a value, a range "A..B" or a list "A/B/C";
// every combination is one data form. Throws CLI::ValidationError.
std::vector<std::vector<int32_t>> ParseGrid(const std::string& text);

}  // namespace quelvar::runner
