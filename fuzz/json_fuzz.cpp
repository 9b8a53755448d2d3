// quelvar-run's JSON: any bytes in its strings (messages, names, register lines) give JSON text
// that a strict reader takes, and mapping U+F780 to U+F7FF back to bytes gives the bytes exactly.
// A run of a program text of any bytes, reported as JSON, parses too.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "runner/BatchRun.h"
#include "runner/JsonReport.h"
#include "runner/RunInputs.h"

namespace {

// The bytes a string of the JSON text stands for, as the README says to get them back.
std::string Bytes(const std::string& text) {
  std::string bytes;
  for (size_t k = 0; k < text.size(); ++k) {
    const auto b = [&](size_t i) { return static_cast<unsigned char>(text[k + i]); };
    if (b(0) == 0xEF && k + 2 < text.size() && (b(1) & 0xFE) == 0x9E) {
      bytes += static_cast<char>(0x80 + ((b(1) & 1) << 6) + (b(2) & 0x3F));
      k += 2;
    } else {
      bytes += text[k];
    }
  }
  return bytes;
}

nlohmann::json Parsed(const std::string& text) {
  // Strict: no comments, and a failure is a finding.
  nlohmann::json document = nlohmann::json::parse(text, nullptr, false, false);
  if (document.is_discarded()) std::abort();
  return document;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string message = in.ConsumeRandomLengthString(64);
  // Not "message" nor "outcome": a key of its own.
  const std::string key = "x-" + in.ConsumeRandomLengthString(16);
  const std::string item = in.ConsumeRandomLengthString(16);
  const nlohmann::json document = Parsed(quelvar::runner::JsonText(
      {{"outcome", "failure"}, {"message", message}, {key, nlohmann::json::array({item, 7})}}));
  if (Bytes(document.at("message").get<std::string>()) != message) std::abort();
  bool keyFound = false;
  for (const auto& [name, value] : document.items()) {
    if (Bytes(name) != key) continue;
    keyFound = true;
    if (Bytes(value.at(0).get<std::string>()) != item) std::abort();
  }
  if (!keyFound) std::abort();

  // A whole run's report: a program text of any bytes on two registers, a few lines at most.
  quelvar::runner::Options options;
  options.registers = "1,2";
  quelvar::runner::RunInputs inputs(options);
  inputs.SetProgramText(in.ConsumeRemainingBytesAsString(), "fuzz");
  quelvar::BatchRun run("Fuzz");
  quelvar::BatchEnd end = quelvar::BatchEnd::kFailed;
  if (run.Load(inputs.Descriptor(), inputs.Files()) && run.RunIt()) end = run.Finish(200);
  const nlohmann::json report =
      Parsed(quelvar::runner::JsonText(quelvar::runner::RunJson(run, end)));
  if (report.at("outcome") != quelvar::runner::OutcomeName(end)) std::abort();
  return 0;
}
