#pragma once

#include <string>

#include "runner/Options.h"

namespace quelvar::runner {

// What a run loads: the descriptor as given, or, when --registers or --program replace a part
// of it, a descriptor written into a temporary folder with the other parts taken over from the
// one given. Names are kept as the window would read them; relative ones are made absolute
// against the descriptor's folder, where the window's dialog would have moved.
class RunInputs {
 public:
  // Reads the descriptor given, if any; a failure reads as the load would report it.
  explicit RunInputs(const Options& options);
  ~RunInputs();
  RunInputs(const RunInputs&) = delete;
  RunInputs& operator=(const RunInputs&) = delete;

  // The descriptor to load.
  const std::string& Descriptor() const { return descriptor_; }
  // Makes `values` (V1,V2,...) the data form, as a file of one value a line.
  void SetRegisters(const std::string& values);

  // The files as a user names them in messages: relative to where quelvar-run was started.
  const std::string& DescriptorShown() const { return descriptorShown_; }
  const std::string& DataFormShown() const { return dataFormShown_; }
  const std::string& ProgramShown() const { return programShown_; }
  // Where the data form is read from, when it is a file that was given (not --registers or
  // standard input); empty otherwise.
  const std::string& DataFormPath() const { return dataFormPath_; }

 private:
  void WriteDescriptor();

  std::string folder_;  // the temporary folder, when one is needed
  std::string descriptor_;
  std::string module_, dataForm_, program_;
  std::string descriptorShown_, dataFormShown_, programShown_, dataFormPath_;
};

}  // namespace quelvar::runner
