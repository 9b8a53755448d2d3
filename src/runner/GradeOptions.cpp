#include "runner/GradeOptions.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "runner/CaseGrammar.h"
#include "runner/Cli.h"

namespace quelvar::runner {
namespace {

namespace fs = std::filesystem;

constexpr const char* kGridShape =
    "a value a register, separated by ',': each a value (3), a range (0..6) or a list (1/5/9)";

int32_t GridValue(const std::string& text) {
  const std::string why = BadValue(text);
  if (!why.empty()) throw CLI::ValidationError("--inputs", why);
  return CaseValues(text).front();
}

bool IsFolder(const std::string& name) {
  std::error_code error;
  return fs::is_directory(name, error);
}

}  // namespace

void AddGradeOptions(CLI::App& app, Options& options) {
  app.add_option("--reference", options.reference,
                 "Grade against a model answer: run both on every data form of --inputs")
      ->type_name("MODEL.rm");
  app.add_option("--inputs", options.inputs,
                 "With --reference: the data forms, e.g. 0..6,0..6 or 1/2/5,0")
      ->type_name("GRID");
  app.add_option_function<std::string>(
         "--summary", [&options](const std::string&) { options.summaryCsv = true; },
         "csv: the summary of the grading as CSV, a row a submission")
      ->type_name("FORMAT")
      ->check(CLI::IsMember({"csv"}));
}

void CheckGradeOptions(const Options& options) {
  const bool grading = options.cases || options.reference;
  if (options.reference && options.cases) {
    throw CLI::ValidationError("--reference",
                               "compares with the model's registers: it takes no --cases");
  }
  if (options.reference.has_value() != options.inputs.has_value()) {
    throw CLI::ValidationError("--reference", "--reference MODEL.rm and --inputs GRID go together");
  }
  if (options.reference && options.reference->empty()) {
    throw CLI::ValidationError("--reference", "the model's name is empty");
  }
  if (options.inputs) ParseGrid(*options.inputs);
  if (options.reference && (options.registers || options.trace || options.check)) {
    throw CLI::ValidationError("--reference",
                               "each data form comes from --inputs: it takes no --registers, "
                               "--trace or --check");
  }
  const bool platform = options.format == Format::kGradescope ||
                        options.format == Format::kPrairieLearn ||
                        options.format == Format::kJunit || options.format == Format::kTap;
  if (platform && !grading) {
    throw CLI::ValidationError("--format",
                               "gradescope, prairielearn, junit and tap report a "
                               "grading: they need --cases or --reference");
  }
  if (options.summaryCsv && (!grading || options.format != Format::kText)) {
    throw CLI::ValidationError("--summary",
                               "csv is the summary of a grading (--cases or --reference), in "
                               "place of the text report: it takes no --format");
  }
  if (!ManySubmissions(options)) return;
  if (!grading) {
    throw CLI::ValidationError("DESCRIPTOR.rm",
                               "several descriptors or a folder are graded: give --cases or "
                               "--reference");
  }
  if (options.program || options.trace) {
    throw CLI::ValidationError("DESCRIPTOR.rm", "several submissions take no --program or --trace");
  }
  if (options.format == Format::kGradescope || options.format == Format::kPrairieLearn) {
    throw CLI::ValidationError("--format",
                               "gradescope and prairielearn grade one submission a run");
  }
}

bool ManySubmissions(const Options& options) {
  return options.submissions.size() > 1 ||
         (options.submissions.size() == 1 && IsFolder(options.submissions.front()));
}

std::vector<std::string> SubmissionList(const Options& options) {
  std::vector<std::string> list;
  for (const std::string& given : options.submissions) {
    if (!IsFolder(given)) {
      list.push_back(given);
      continue;
    }
    std::vector<std::string> found;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(given, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
      if (it->path().extension() == ".rm" && !it->is_directory(error)) {
        found.push_back(it->path().string());
      }
    }
    std::sort(found.begin(), found.end());
    list.insert(list.end(), found.begin(), found.end());
  }
  return list;
}

std::vector<std::vector<int32_t>> ParseGrid(const std::string& text) {
  std::vector<std::vector<int32_t>> grid;
  size_t start = 0;
  for (;;) {
    const size_t end = std::min(text.find(',', start), text.size());
    const std::string field = text.substr(start, end - start);
    std::vector<int32_t> values;
    const size_t dots = field.find("..");
    if (field.empty()) throw CLI::ValidationError("--inputs", kGridShape);
    if (dots != std::string::npos) {
      const int32_t low = GridValue(field.substr(0, dots));
      const int32_t high = GridValue(field.substr(dots + 2));
      if (low > high) {
        throw CLI::ValidationError("--inputs", "the range '" + field + "' is empty");
      }
      for (int32_t v = low; v <= high; ++v) values.push_back(v);
    } else {
      size_t from = 0;
      for (;;) {
        const size_t slash = std::min(field.find('/', from), field.size());
        values.push_back(GridValue(field.substr(from, slash - from)));
        if (slash == field.size()) break;
        from = slash + 1;
      }
    }
    grid.push_back(values);
    if (end == text.size()) return grid;
    start = end + 1;
  }
}

}  // namespace quelvar::runner
