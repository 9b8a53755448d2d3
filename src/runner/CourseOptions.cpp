#include "runner/CourseOptions.h"

#include <map>

#include "runner/Cli.h"
#include "runner/Paths.h"

namespace quelvar::runner {
namespace {

std::string Digits(const std::string& text) {
  const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
  return digits ? std::string() : "'" + text + "' is not a whole number";
}

}  // namespace

void AddCourseOptions(CLI::App& app, Options& options) {
  const std::map<std::string, TraceFormat> formats{{"text", TraceFormat::kText},
                                                   {"csv", TraceFormat::kCsv},
                                                   {"markdown", TraceFormat::kMarkdown},
                                                   {"tex", TraceFormat::kTex}};
  app.add_option("--trace-format", options.traceFormat,
                 "With --trace: text (the default), or a table a row a line: csv, markdown, tex")
      ->type_name("FORMAT")
      ->transform(CLI::CheckedTransformer(formats));
  app.add_option("--trace-rows", options.traceRows, "A trace table's rows at most; 0: no limit")
      ->type_name("N")
      ->default_str(std::to_string(kDefaultTraceRows))
      ->check(Digits);
  app.add_option("--line-map", options.lineMap,
                 "With --trace: name each line's source line from this map (from --expand)")
      ->type_name("NAME.map");
  app.add_option("--expand", options.expand,
                 "Write the program of SOURCE, its CALL lines expanded, as the descriptor -o names")
      ->type_name("SOURCE");
  app.add_option("-o", options.output, "The descriptor --expand writes")->type_name("NAME.rm");
  app.add_flag("--godel", options.godel,
               "Print the program's number, then the number of each line; run nothing");
  app.add_option("--from-godel", options.fromGodel, "Print the program text of number N")
      ->type_name("N")
      ->check(Digits);
  app.add_option("--godel-run", options.godelRun, "Run the program of number N")
      ->type_name("N")
      ->check(Digits);
}

void CheckCourseOptions(const Options& options, bool descriptorGiven) {
  const bool tableOrMap = options.traceFormat != TraceFormat::kText || options.lineMap;
  if (tableOrMap && !options.trace) {
    throw CLI::ValidationError("--trace-format", "--trace-format and --line-map need --trace");
  }
  if (tableOrMap && options.cases) {
    throw CLI::ValidationError("--trace-format", "a trace table is of one run: drop --cases");
  }
  if (options.format == Format::kDot &&
      (options.cases || options.trace || options.check || options.godel)) {
    throw CLI::ValidationError("--format", "dot runs nothing: it takes no --cases or --trace");
  }
  if (options.expand.has_value() != !options.output.empty()) {
    throw CLI::ValidationError("--expand", "--expand SOURCE and -o NAME.rm go together");
  }
  const int standAlone = options.expand.has_value() + options.fromGodel.has_value() +
                         options.godelRun.has_value() + options.godel;
  if (standAlone > 1) {
    throw CLI::ValidationError("--expand", "one of --expand, --godel, --from-godel, --godel-run");
  }
  if (StandsAlone(options) && (descriptorGiven || options.program)) {
    throw CLI::ValidationError("--expand",
                               "--expand, --from-godel and --godel-run read no "
                               "descriptor and no --program");
  }
  if ((options.expand || options.fromGodel) && (options.registers || options.trace)) {
    throw CLI::ValidationError("--expand", "--expand and --from-godel run nothing");
  }
  if ((StandsAlone(options) || options.godel) && (options.cases || options.check)) {
    throw CLI::ValidationError("--godel", "takes no --cases or --check");
  }
  const Format allowed = options.godelRun ? Format::kJson : Format::kText;
  if ((StandsAlone(options) || options.godel) && options.format != Format::kText &&
      options.format != allowed) {
    throw CLI::ValidationError("--format", "--godel-run takes --format json, the others none");
  }
  if (options.godel && options.trace) {
    throw CLI::ValidationError("--godel", "runs nothing: it takes no --trace");
  }
}

bool StandsAlone(const Options& options) {
  return options.expand || options.fromGodel || options.godelRun;
}

void ResolveCoursePaths(Options& options) {
  if (options.lineMap) options.lineMap = AbsolutePath(*options.lineMap);
  if (options.expand) options.expand = AbsolutePath(*options.expand);
  if (!options.output.empty()) options.output = AbsolutePath(options.output);
}

}  // namespace quelvar::runner
