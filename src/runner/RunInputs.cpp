#include "runner/RunInputs.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "platform/File.h"
#include "runner/BatchRun.h"
#include "text/TextReader.h"

namespace quelvar::runner {
namespace {

namespace fs = std::filesystem;

// The names the descriptor in memory gives its parts. None starts with '/', so none is a name of
// the user's, which are all made absolute (but for a working folder that was removed, where no
// relative name opens).
constexpr const char* kDescriptorName = "quelvar-run:descriptor";
constexpr const char* kDataFormName = "quelvar-run:data-form";
constexpr const char* kProgramName = "quelvar-run:program";

// `name` as the window resolves it once its dialog has moved into `folder`.
std::string Resolved(const std::string& name, const fs::path& folder) {
  if (name.empty() || name.front() == '/') return name;
  return (folder / name).string();
}

std::string Shown(const std::string& name, const std::string& descriptorShown) {
  if (name.empty()) return "<standard input>";
  if (name.front() == '/') return name;
  const fs::path folder = fs::path(descriptorShown).parent_path();
  return folder.empty() ? name : (folder / name).string();
}

// Standard input, whole, whatever it is (a file, a pipe, /dev/null), but not a terminal: nobody
// may be there to type the values.
std::string StandardInput() {
  if (isatty(STDIN_FILENO)) {
    throw std::runtime_error(
        "The data form is read from standard input, which is a terminal: give --registers "
        "V1,V2,... or a descriptor, or redirect standard input from a file or a pipe");
  }
  platform::InputFile input(STDIN_FILENO, false);
  std::string bytes;
  char buffer[64 * 1024];
  for (size_t got; (got = input.Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
  return bytes;
}

// The descriptor's three lines: the module's name, the data form's and the program text's.
void ReadDescriptor(const std::string& name, std::string& module, std::string& dataForm,
                    std::string& program) {
  platform::ReadConsistently(name, [&](ByteSource& source) {
    TextReader reader(source);
    reader.ReadLine(module);
    reader.FinishLine();
    reader.ReadLine(dataForm);
    reader.FinishLine();
    reader.ReadLine(program);
    reader.FinishLine();
  });
}

}  // namespace

RunInputs::RunInputs(const Options& options) : descriptor_(options.descriptor) {
  const bool ownDescriptor =
      options.registers || options.program || options.cases || options.godelRun;
  if (!options.descriptor.empty()) descriptorShown_ = options.descriptorAsGiven;
  if (!ownDescriptor) {
    asItIs_ = !options.descriptor.empty();
    return;
  }
  std::string module, dataForm, program;
  if (!options.descriptor.empty()) {
    ReadDescriptor(options.descriptor, module, dataForm, program);
    dataFormShown_ = Shown(dataForm, descriptorShown_);
    programShown_ = Shown(program, descriptorShown_);
  }

  const fs::path folder = fs::path(options.descriptor).parent_path();
  descriptor_ = kDescriptorName;
  files_.Put(descriptor_, module + "\r\n" + kDataFormName + "\r\n" + kProgramName + "\r\n");
  if (options.registers) {
    SetRegisters(*options.registers);
  } else if (!dataForm.empty()) {
    files_.Alias(kDataFormName, Resolved(dataForm, folder));
  } else if (!options.cases) {
    files_.PutLater(kDataFormName, StandardInput);
    dataFormShown_ = "<standard input>";
  }
  if (options.program) {
    files_.Alias(kProgramName, *options.program);
    programShown_ = options.programAsGiven;
  } else {
    files_.Alias(kProgramName, Resolved(program, folder));
  }
}

bool RunInputs::LoadInto(BatchRun& run) {
  const bool loaded = run.Load(descriptor_, files_);
  if (asItIs_) {
    dataFormShown_ = Shown(run.Form().DataFileName, descriptorShown_);
    programShown_ = Shown(run.Form().ProgramFileName, descriptorShown_);
  }
  return loaded;
}

void RunInputs::SetRegisters(const std::string& values) {
  std::string lines = values;
  for (char& c : lines) {
    if (c == ',') c = '\r';
  }
  files_.Put(kDataFormName, std::move(lines));
  dataFormShown_ = "--registers";
}

void RunInputs::SetProgramText(std::string bytes, std::string shown) {
  files_.Put(kProgramName, std::move(bytes));
  programShown_ = std::move(shown);
}

}  // namespace quelvar::runner
