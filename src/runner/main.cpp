// quelvar-run: runs a program descriptor to its end without a window, as "Run It" would.
#include <charconv>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "Version.h"
#include "platform/File.h"
#include "platform/Toolkit.h"
#include "runner/BatchRun.h"

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
    } else if (arg.starts_with("-") || haveDescriptor) {
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

}  // namespace

int main(int argc, char** argv) {
  quelvar::platform::ReserveStandardInput();
  Asked asked = Asked::kRun;
  const std::optional<Options> options = ParseArguments(argc, argv, asked);
  if (asked == Asked::kVersion) {
    std::cout << "quelvar-run " << quelvar::kVersion << '\n';
    return 0;
  }
  if (!options) {
    (asked == Asked::kHelp ? std::cout : std::cerr) << kUsage;
    return asked == Asked::kHelp ? 0 : kUsageStatus;
  }
  std::ios::sync_with_stdio(false);
  quelvar::BatchRun run(quelvar::platform::ApplicationTitle(argc > 0 ? argv[0] : "quelvar-run"));
  quelvar::BatchEnd end = quelvar::BatchEnd::kFailed;
  if (run.Start(options->descriptor, options->trace ? &std::cerr : nullptr)) {
    end = run.Finish(options->maxLines);
  }
  run.Report(std::cout);
  if (end == quelvar::BatchEnd::kFailed) std::cerr << run.Failure() << '\n';
  return static_cast<int>(end);
}
