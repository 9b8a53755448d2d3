#pragma once

#include <string>

#include "platform/FileTable.h"
#include "runner/Options.h"

namespace quelvar {
class BatchRun;
}

namespace quelvar::runner {

// What a run loads: the descriptor as given, or, when --registers, --program, --cases or a
// program made from its number replace a part of it, a descriptor held in memory that names the
// parts by names of its own. Those names stand for the user's files on disk, or for bytes in
// memory (the registers, a made program, standard input), so nothing is written to disk and a
// user's file name may hold any byte. Relative names of the user's descriptor are made absolute
// against its folder, where the window's dialog would have moved.
class RunInputs {
 public:
  // Reads the descriptor given where a part of it is replaced; a failure reads as the load would
  // report it. A descriptor loaded as it is is read only by its load.
  explicit RunInputs(const Options& options);

  // Loads the descriptor into `run`'s form with these files in front of the disk; false when the
  // load reported a failure. Loaded as it is, the descriptor names its parts for the messages
  // there, as far as the load read it.
  bool LoadInto(BatchRun& run);

  // The descriptor to load, and the files to read it and its parts from.
  const std::string& Descriptor() const { return descriptor_; }
  const platform::FileTable& Files() const { return files_; }
  // Makes `values` (V1,V2,...) the data form, one value a line.
  void SetRegisters(const std::string& values);
  // Makes `bytes` the program text, named `shown` in messages.
  void SetProgramText(std::string bytes, std::string shown);

  // The files as a user names them in messages: relative to where quelvar-run was started.
  const std::string& DescriptorShown() const { return descriptorShown_; }
  const std::string& DataFormShown() const { return dataFormShown_; }
  const std::string& ProgramShown() const { return programShown_; }

 private:
  std::string descriptor_;
  platform::FileTable files_;
  // Whether the user's descriptor is loaded as it is, naming the parts itself.
  bool asItIs_ = false;
  std::string descriptorShown_, dataFormShown_, programShown_;
};

}  // namespace quelvar::runner
