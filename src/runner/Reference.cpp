#include "runner/Reference.h"

#include <filesystem>
#include <set>
#include <stdexcept>

#include "platform/File.h"
#include "platform/Toolkit.h"
#include "runner/BatchRun.h"
#include "runner/CaseRun.h"
#include "runner/Cases.h"
#include "runner/GradeFormats.h"
#include "runner/GradeOptions.h"

namespace quelvar::runner {

std::vector<int32_t> NamedRegisters(const std::string& path, const std::string& shown) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {1};
  std::set<int32_t> named;
  platform::ReadConsistently(path, [&](ByteSource& source) {
    named.clear();
    CaseReader reader(source, shown);
    for (Case c; reader.Next(c);) {
      for (const auto& [reg, value] : c.expected) named.insert(reg);
    }
  });
  if (named.empty()) return {1};
  return {named.begin(), named.end()};
}

ReferenceCases::ReferenceCases(const Options& options, std::string title)
    : modelOptions_(options), title_(std::move(title)), grid_(ParseGrid(*options.inputs)) {
  modelOptions_.descriptor = *options.reference;
  modelOptions_.descriptorAsGiven = options.referenceAsGiven;
  modelOptions_.program.reset();
  modelOptions_.registers = std::string();
  try {
    model_.emplace(modelOptions_);
  } catch (const std::exception& failure) {
    throw std::runtime_error(
        RunnerMessage(options.referenceAsGiven, platform::ErrorBoxText(failure.what())));
  }
  const std::string cases =
      std::filesystem::path(*options.reference).replace_extension(".cases").string();
  const std::string casesShown =
      std::filesystem::path(options.referenceAsGiven).replace_extension(".cases").string();
  compared_ = NamedRegisters(cases, casesShown);
  at_.assign(grid_.size(), 0);
}

bool ReferenceCases::Next(Case& c) {
  if (done_) return false;
  std::string values;
  for (size_t k = 0; k < grid_.size(); ++k) {
    values += (k > 0 ? "," : "") + std::to_string(grid_[k][at_[k]]);
  }
  // The next data form: the last register's values turn fastest.
  done_ = true;
  for (size_t k = grid_.size(); k-- > 0;) {
    if (++at_[k] < grid_[k].size()) {
      done_ = false;
      break;
    }
    at_[k] = 0;
  }
  c = Case();
  c.line = static_cast<int32_t>(++count_);
  c.name = values;
  c.values = values;
  model_->SetRegisters(values);
  BatchRun run(title_);
  const BatchEnd end = RunToItsEnd(run, *model_, modelOptions_.maxLines, modelOptions_, nullptr);
  switch (end) {
    case BatchEnd::kFinished:
      for (const int32_t reg : compared_) c.expected.emplace_back(reg, run.Form().ReadReg(reg));
      break;
    case BatchEnd::kStalled:
      c.expect = Expect::kStalls;
      break;
    case BatchEnd::kLineLimit:
    case BatchEnd::kTimeLimit:
      c.expect = Expect::kRunsForever;
      break;
    default:
      throw std::runtime_error(RunnerMessage(FailedFile(run, *model_),
                                             run.Failure() + " (the model, on " + values + ")"));
  }
  return true;
}

}  // namespace quelvar::runner
