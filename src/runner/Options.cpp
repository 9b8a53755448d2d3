#include "runner/Options.h"

#include <charconv>
#include <cstdlib>
#include <map>
#include <string_view>

#include "Version.h"
#include "runner/Cli.h"
#include "runner/CourseOptions.h"
#include "runner/GradeOptions.h"
#include "runner/Paths.h"

namespace quelvar::runner {
namespace {

constexpr const char* kDescription =
    "Runs the program that DESCRIPTOR.rm names, as the window's Run It would, and prints the\n"
    "registers, the instruction index and the number of lines executed.\n"
    "Exit status: 0 the run passed its last line, 1 a failure (also a report that cannot be\n"
    "written), 2 bad usage, 3 the program stalled (a jump to line 0 or below), 4 the line limit\n"
    "was reached, 6 the time limit was reached; --check: 0 nothing found, 1 something found;\n"
    "--cases and --reference: 0 all pass, 5 any fails.\n"
    "Given several descriptors or a folder of them, grades each (--cases or --reference) and\n"
    "prints a summary, a row a submission.";

// Why the data form would not read `values` (V1,V2,...) as given, or empty when it would: each
// value is a whole token of at most 32 characters, since the data form reads a line up to its first
// blank and cuts a token there.
std::string RegistersProblem(const std::string& values) {
  constexpr size_t kTokenLength = 32;
  if (values.empty()) return {};  // no values: no data form
  size_t start = 0;
  for (int number = 1;; ++number) {
    const size_t end = std::min(values.find(',', start), values.size());
    const std::string value = values.substr(start, end - start);
    const std::string where = "R" + std::to_string(number) + " ";
    if (value.empty()) return where + "has no value";
    if (value.find_first_of(" \t\r\n\x1a") != std::string::npos) {
      return where + "'" + value + "' holds a blank or a line end";
    }
    if (value.size() > kTokenLength) {
      return where + "'" + value + "' is longer than 32 characters";
    }
    if (end == values.size()) return {};
    start = end + 1;
  }
}

// Checks what the options say together, and sets what follows from them; throws CLI11's errors.
// `descriptors` is the number of descriptors given, `format` the --format given.
void CheckTogether(Options& options, size_t descriptors, const std::string& format) {
  for (const std::string& name : options.submissions) {
    if (name.empty()) throw CLI::ValidationError("DESCRIPTOR.rm", "the descriptor's name is empty");
  }
  if (options.submissions.size() == 1) options.descriptorAsGiven = options.submissions.front();
  if (descriptors == 0 && !options.program && !StandsAlone(options)) {
    throw CLI::RequiredError("DESCRIPTOR.rm (or --program)");
  }
  if (options.program && options.program->empty()) {
    throw CLI::ValidationError("--program", "the program text's name is empty");
  }
  if (options.cases && options.cases->empty()) {
    throw CLI::ValidationError("--cases", "the cases file's name is empty");
  }
  if (options.registers) {
    const std::string problem = RegistersProblem(*options.registers);
    if (!problem.empty()) throw CLI::ValidationError("--registers", problem);
  }
  if (options.cases && options.registers) {
    throw CLI::ValidationError("--cases", "each case gives its own registers: drop --registers");
  }
  if (options.check && (options.cases || format != "text" || options.trace)) {
    throw CLI::ValidationError("--check", "runs nothing: it takes no --cases, --trace or --format");
  }
  const std::map<std::string, Format> formats{{"text", Format::kText},
                                              {"json", Format::kJson},
                                              {"dot", Format::kDot},
                                              {"gradescope", Format::kGradescope},
                                              {"prairielearn", Format::kPrairieLearn},
                                              {"junit", Format::kJunit},
                                              {"tap", Format::kTap}};
  options.format = formats.at(format);
  CheckCourseOptions(options, descriptors > 0);
  CheckGradeOptions(options);
}

// `quelvar-run DESCRIPTOR.rm` is the commonest command line, and a grader starts quelvar-run once
// a submission: it means every option's default and that descriptor, so it is taken without
// building the option table, which costs more than the rest of a short run. The table's checks run
// on it; one that fails (a folder, graded without cases) leaves it to the table, which reports it.
// Every other command line goes through the table: a lone name that starts with '-', and one in
// brackets, which the table reads as a list ("[a,b]" is a and b).
bool LoneDescriptor(int argc, char** argv, Options& options) {
  if (argc != 2) return false;
  const std::string_view name = argv[1];
  if (name.empty() || name.front() == '-' || (name.front() == '[' && name.back() == ']')) {
    return false;
  }
  options.submissions = {argv[1]};
  try {
    CheckTogether(options, 1, "text");
    return true;
  } catch (const CLI::Error&) {
    options = Options();
    return false;
  }
}

// Reads the command line through the option table into `options`; or, after help, the version or
// a usage error has been printed, the status to exit with.
std::optional<int> ParseTable(int argc, char** argv, Options& options, Output& out, Output& err) {
  CLI::App app(kDescription, "quelvar-run");
  std::string format = "text";
  app.set_version_flag("--version", "quelvar-run " + std::string(kVersion));
  app.add_option("--max-lines", options.maxLines, "Stop after N lines in all; 0 runs none")
      ->type_name("N")
      ->default_str(std::to_string(kDefaultMaxLines))
      ->check([](const std::string& text) {
        const bool digits =
            !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
        if (!digits) return "'" + text + "' is not a whole number of lines";
        uint64_t lines = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), lines);
        return error == std::errc() ? std::string()
                                    : "'" + text + "' is more than 18446744073709551615 lines";
      });
  app.add_option("--timeout", options.timeout,
                 "Stop a run (each case's run) after SECONDS of CPU time; none by default")
      ->type_name("SECONDS")
      ->check([](const std::string& text) {
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        const bool number = !text.empty() && end == text.c_str() + text.size() &&
                            text.find_first_not_of("0123456789.") == std::string::npos;
        return number && seconds >= 1e-3 && seconds <= 1e9
                   ? std::string()
                   : "'" + text + "' is not a number of seconds from 0.001 to 1000000000";
      });
  app.add_flag("--trace", options.trace,
               "Print each line run on standard error, with what it wrote: 'K: TEXT  EFFECT'");
  app.add_flag("--check", options.check,
               "Run nothing; report every line that the machine reads otherwise than it looks");
  app.add_option("--registers", options.registers,
                 "The data form's values, in place of the data form file")
      ->type_name("V1,V2,...");
  app.add_option("--program", options.program, "The program text, in place of the descriptor's")
      ->type_name("PROGRAM.txt");
  app.add_option("--cases", options.cases,
                 "Run once a case: lines '[NAME:] V1,V2,... => R1=5 R3=0 [points P] [hidden] "
                 "[max-lines N]' "
                 "('=> 5' for R1; or '=> stalls', '=> runs-forever')")
      ->type_name("FILE");
  app.add_option("--format", format,
                 "text (the default), json, dot (the flow diagram); with --cases or --reference "
                 "also gradescope, prairielearn, junit, tap")
      ->type_name("FORMAT")
      ->check(CLI::IsMember({"text", "json", "dot", "gradescope", "prairielearn", "junit", "tap"}));
  AddCourseOptions(app, options);
  AddGradeOptions(app, options);
  app.add_option("descriptor", options.submissions,
                 "The program descriptor (.rm); to grade, several, or folders of them")
      ->type_name("DESCRIPTOR.rm");
  app.footer("A descriptor whose name starts with '-' follows '--'.");

  try {
    app.parse(argc, argv);
    CheckTogether(options, app.count("descriptor"), format);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {
      out << (e.get_name() == "CallForVersion" ? e.what() : app.help()) << '\n';
      return 0;
    }
    err << "quelvar-run: " << e.what() << "\n"
        << "usage: quelvar-run [OPTIONS] DESCRIPTOR.rm (see quelvar-run --help)\n";
    return kUsageStatus;
  }
  return std::nullopt;
}

}  // namespace

Parsed ParseOptions(int argc, char** argv, Output& out, Output& err) {
  Options options;
  if (!LoneDescriptor(argc, argv, options)) {
    if (const std::optional<int> status = ParseTable(argc, argv, options, out, err)) {
      return {std::nullopt, *status};
    }
  }
  ResolveCoursePaths(options);
  if (!options.descriptorAsGiven.empty())
    options.descriptor = AbsolutePath(options.descriptorAsGiven);
  if (options.program) {
    options.programAsGiven = *options.program;
    options.program = AbsolutePath(*options.program);
  }
  if (options.cases) {
    options.casesAsGiven = *options.cases;
    options.cases = AbsolutePath(*options.cases);
  }
  if (options.reference) {
    options.referenceAsGiven = *options.reference;
    options.reference = AbsolutePath(*options.reference);
  }
  return {options, 0};
}

}  // namespace quelvar::runner
