// quelvar-run's command line: any lone argument must come out as the table reads it after "--",
// which always goes through the table: the same options, or the same status and message.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "runner/Options.h"

namespace {

struct Result {
  quelvar::runner::Parsed parsed;
  std::string err;
};

Result Parse(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::ostringstream out, err;
  quelvar::runner::Output outText(out), errText(err);
  quelvar::runner::Parsed parsed = quelvar::runner::ParseOptions(static_cast<int>(arguments.size()),
                                                                 argv.data(), outText, errText);
  return {std::move(parsed), err.str()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An argument ends at its first NUL, as the kernel hands it over.
  std::string name(reinterpret_cast<const char*>(data), size);
  name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
  if (name.empty() || name.front() == '-') return 0;  // the table reads these alike
  const Result lone = Parse({"quelvar-run", name});
  const Result table = Parse({"quelvar-run", "--", name});
  if (lone.parsed.options != table.parsed.options || lone.parsed.status != table.parsed.status ||
      lone.err != table.err) {
    std::abort();
  }
  return 0;
}
