#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runner/CaseGrammar.h"
#include "runner/Options.h"
#include "runner/RunInputs.h"

namespace quelvar::runner {

// A model answer's runs as cases: for each data form of --inputs, the model runs through the same
// engine as any run, and the case expects what it did: the registers compared when it ended,
// "stalls" when it stalled, "runs-forever" when it reached a limit. The registers compared are
// those the cases file beside the model (MODEL.cases) names, or R1 when there is none.
class ReferenceCases {
 public:
  // Throws std::runtime_error when the model cannot be read, CaseError for a bad MODEL.cases.
  ReferenceCases(const Options& options, std::string title);
  // The next data form's case; false after the last. Throws when the model fails on it.
  bool Next(Case& c);
  const std::vector<int32_t>& Compared() const { return compared_; }

 private:
  Options modelOptions_;
  std::optional<RunInputs> model_;
  std::string title_;
  std::vector<std::vector<int32_t>> grid_;
  std::vector<size_t> at_;
  bool done_ = false;
  uint64_t count_ = 0;
  std::vector<int32_t> compared_;
};

// The registers the cases file `path` names, in order, or R1 when it cannot be read.
std::vector<int32_t> NamedRegisters(const std::string& path, const std::string& shown);

}  // namespace quelvar::runner
