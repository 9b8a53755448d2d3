#include "runner/RunInputs.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/File.h"
#include "text/TextReader.h"

namespace quelvar::runner {
namespace {

namespace fs = std::filesystem;

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

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
  if (!file.flush()) throw std::runtime_error("quelvar-run: cannot write " + path);
}

}  // namespace

RunInputs::RunInputs(const Options& options) : descriptor_(options.descriptor) {
  const bool ownDescriptor = options.registers || options.program || options.cases;
  if (!options.descriptor.empty()) {
    try {
      platform::ReadConsistently(options.descriptor, [this](ByteSource& source) {
        TextReader reader(source);
        reader.ReadLine(module_);
        reader.FinishLine();
        reader.ReadLine(dataForm_);
        reader.FinishLine();
        reader.ReadLine(program_);
        reader.FinishLine();
      });
    } catch (const std::exception&) {
      // Loaded as it is, the descriptor's failure is the load's to report, as the window does.
      if (ownDescriptor) throw;
    }
    descriptorShown_ = options.descriptorAsGiven;
    dataFormShown_ = Shown(dataForm_, descriptorShown_);
    programShown_ = Shown(program_, descriptorShown_);
    const fs::path folder = fs::path(options.descriptor).parent_path();
    if (!dataForm_.empty()) dataFormPath_ = Resolved(dataForm_, folder);
    dataForm_ = Resolved(dataForm_, folder);
    program_ = Resolved(program_, folder);
  }
  if (!ownDescriptor) return;

  std::string templ = (fs::temp_directory_path() / "quelvar-run-XXXXXX").string();
  if (mkdtemp(templ.data()) == nullptr) {
    throw std::runtime_error("quelvar-run: cannot make a temporary folder");
  }
  folder_ = templ;
  descriptor_ = folder_ + "/run.rm";
  if (options.program) {
    program_ = *options.program;
    programShown_ = options.programAsGiven;
  }
  if (options.registers) SetRegisters(*options.registers);
  WriteDescriptor();
}

RunInputs::~RunInputs() {
  if (folder_.empty()) return;
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

void RunInputs::SetRegisters(const std::string& values) {
  if (folder_.empty()) throw std::logic_error("SetRegisters needs the temporary folder");
  std::string lines = values;
  for (char& c : lines) {
    if (c == ',') c = '\r';
  }
  dataForm_ = folder_ + "/registers.txt";
  dataFormShown_ = "--registers";
  dataFormPath_.clear();
  WriteFile(dataForm_, lines);
  WriteDescriptor();
}

void RunInputs::WriteDescriptor() {
  WriteFile(descriptor_, module_ + "\r\n" + dataForm_ + "\r\n" + program_ + "\r\n");
}

}  // namespace quelvar::runner
