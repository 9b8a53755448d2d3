#pragma once

#include <string>

#include "runner/Options.h"
#include "runner/Output.h"
#include "runner/RunInputs.h"

namespace quelvar::runner {

// What quelvar-run does, one function a mode; each returns the exit status.
struct Streams {
  Output& out;
  Output& err;
  std::string title;  // the application title, from the executable's name
};

// A failure before any run: its message on standard error, and with a JSON format the document
// {"outcome": "failure", "message": MESSAGE} on standard output (with "file": FILE when given,
// and then "quelvar-run: FILE: " before the message on standard error).
int Failed(const Options& options, const Streams& io, const std::string& message, int status,
           const std::string& file = {});
// One run, as the window's Run It would make it, with its report.
int RunOnce(const Options& options, RunInputs& inputs, const Streams& io);
// --check: loads, runs nothing, and reports what the machine will read otherwise than it looks.
int Check(const Options& options, RunInputs& inputs, const Streams& io);

}  // namespace quelvar::runner
