// quelvar-run: runs a program descriptor to its end without a window, as "Run It" would.
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "Version.h"
#include "platform/File.h"
#include "platform/Toolkit.h"
#include "runner/BatchRun.h"
#include "runner/FdOutput.h"

namespace {

constexpr int kUsageStatus = 2;
constexpr uint64_t kDefaultMaxLines = 100'000'000;

constexpr std::string_view kUsage =
    "usage: quelvar-run [--max-lines N] [--trace] DESCRIPTOR.rm\n"
    "       quelvar-run --help | --version\n"
    "Runs the program that DESCRIPTOR.rm names, as the window's Run It would, and prints the\n"
    "registers, the instruction index and the number of lines executed.\n"
    "Exit status: 0 the run passed its last line, 1 a failure, 2 bad usage, 3 the program\n"
    "stalled (a jump to line 0 or below), 4 the line limit was reached (default 100000000).\n";

struct Options {
  std::string descriptor;
  uint64_t maxLines = kDefaultMaxLines;
  bool trace = false;
};

std::optional<uint64_t> ParseCount(std::string_view text) {
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
  return value;
}

enum class Asked { kRun, kHelp, kVersion };

// nullopt on bad usage, and when `asked` is help or the version.
std::optional<Options> ParseArguments(int argc, char** argv, Asked& asked) {
  Options options;
  bool haveDescriptor = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    std::optional<std::string_view> count;
    if (arg == "--help" || arg == "-h") {
      asked = Asked::kHelp;
      return {};
    } else if (arg == "--version") {
      asked = Asked::kVersion;
      return {};
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--max-lines" && i + 1 < argc) {
      count = argv[++i];
    } else if (arg.starts_with("--max-lines=")) {
      count = arg.substr(std::strlen("--max-lines="));
    } else if (arg.starts_with("-") || haveDescriptor || arg.empty()) {
      // An empty name would run as if nothing had been loaded.
      return {};
    } else {
      options.descriptor = arg;
      haveDescriptor = true;
    }
    if (count) {
      const std::optional<uint64_t> maxLines = ParseCount(*count);
      if (!maxLines) return {};
      options.maxLines = *maxLines;
    }
  }
  if (!haveDescriptor) return {};
  return options;
}

// The status to exit with once both streams are flushed and closed: a report that did not reach
// its destination is a failure, said on standard error when that still works.
int Closed(int status, quelvar::FdOutput& out, quelvar::FdOutput& err) {
  if (!out.Close()) {
    std::ostream(&err) << "quelvar-run: cannot write the report: " << std::strerror(out.Error())
                       << '\n';
    status = 1;
  }
  if (!err.Close()) status = 1;
  return status;
}

int Run(int argc, char** argv, std::ostream& out, std::ostream& err) {
  Asked asked = Asked::kRun;
  const std::optional<Options> options = ParseArguments(argc, argv, asked);
  if (asked == Asked::kVersion) {
    out << "quelvar-run " << quelvar::kVersion << '\n';
    return 0;
  }
  if (!options) {
    (asked == Asked::kHelp ? out : err) << kUsage;
    return asked == Asked::kHelp ? 0 : kUsageStatus;
  }
  quelvar::BatchRun run(quelvar::platform::ApplicationTitle(argc > 0 ? argv[0] : "quelvar-run"));
  quelvar::BatchEnd end = quelvar::BatchEnd::kFailed;
  // The trace shares standard error's buffer with the failure text, so both keep their order.
  if (run.Start(options->descriptor, options->trace ? &err : nullptr)) {
    end = run.Finish(options->maxLines);
  }
  run.Report(out);
  if (end == quelvar::BatchEnd::kFailed) err << run.Failure() << '\n';
  return static_cast<int>(end);
}

}  // namespace

int main(int argc, char** argv) {
  quelvar::platform::ReserveStandardInput();
  quelvar::FdOutput outBuffer(STDOUT_FILENO);
  quelvar::FdOutput errBuffer(STDERR_FILENO);
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  const int status = Run(argc, argv, out, err);
  return Closed(status, outBuffer, errBuffer);
}
