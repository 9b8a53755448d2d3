// The workspace beside the form: quelvar-run's --check and --cases, run on the page's own files.
// Each call answers the page once, through QuelvarWorkspace.reply, with what quelvar-run would
// have printed on its two streams and its exit status.
#include <emscripten.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/Toolkit.h"
#include "runner/Modes.h"
#include "runner/Options.h"
#include "runner/RunInputs.h"
#include "runner/Submissions.h"

EM_JS(void, js_reply, (const char* out, int outSize, const char* err, int errSize, int status),
      { QuelvarWorkspace.reply(UTF8ToString(out, outSize), UTF8ToString(err, errSize), status); });

namespace {

namespace fs = std::filesystem;
using quelvar::runner::Options;

std::string Text(const char* bytes, int size) {
  return {bytes, static_cast<size_t>(size)};
}

// A name given as quelvar-run's command line would take it: absolute, and shown as given.
void Name(const std::string& given, std::string& path, std::string& shown) {
  path = fs::absolute(given).string();
  shown = given;
}

// Runs one of quelvar-run's modes as the command line would, in the page's working folder, which
// a load moves: the form on the page keeps the folder it had.
template <typename Mode>
void Reply(const Options& options, Mode mode) {
  const fs::path folder = fs::current_path();
  std::ostringstream out;
  std::ostringstream err;
  quelvar::runner::Output outText(out);
  quelvar::runner::Output errText(err);
  const quelvar::runner::Streams io{outText, errText, "quelvar-run"};
  int status = 0;
  try {
    quelvar::runner::RunInputs inputs(options);
    status = mode(options, inputs, io);
  } catch (const std::exception& failure) {
    status =
        quelvar::runner::Failed(options, io, quelvar::platform::ErrorBoxText(failure.what()), 1);
  }
  fs::current_path(folder);
  const std::string outBytes = out.str();
  const std::string errBytes = err.str();
  js_reply(outBytes.data(), static_cast<int>(outBytes.size()), errBytes.data(),
           static_cast<int>(errBytes.size()), status);
}

}  // namespace

extern "C" {

// quelvar-run --check DESCRIPTOR.
EMSCRIPTEN_KEEPALIVE void quelvar_check(const char* descriptor, int size) {
  Options options;
  options.check = true;
  Name(Text(descriptor, size), options.descriptor, options.descriptorAsGiven);
  Reply(options, quelvar::runner::Check);
}

// quelvar-run --format json --cases CASES DESCRIPTOR: one document, a result a case and the totals.
EMSCRIPTEN_KEEPALIVE void quelvar_grade(const char* descriptor, int size, const char* cases,
                                        int casesSize) {
  Options options;
  options.format = quelvar::runner::Format::kJson;
  Name(Text(descriptor, size), options.descriptor, options.descriptorAsGiven);
  options.cases.emplace();
  Name(Text(cases, casesSize), *options.cases, options.casesAsGiven);
  Reply(options,
        [](const Options& given, quelvar::runner::RunInputs&, const quelvar::runner::Streams& io) {
          return quelvar::runner::GradeAll(given, io);
        });
}

}  // extern "C"
