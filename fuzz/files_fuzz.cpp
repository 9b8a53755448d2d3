// The file layer and the three loaders on an in-memory file system whose calls fail with any
// errno, return short reads, and whose program text is rewritten between two reads. The system
// calls of platform/SystemCalls.h are defined here, so the form reads these files.
//
// Then quelvar-run's in-memory inputs, with a program text named by any bytes.
//
// Oracles: no descriptor is left open; every error box says one of Quelvar's own messages (never
// a C++ exception's text); a load that reports nothing has loaded exactly what a load without
// faults gives, with the program text of one version or the other, never a mix.
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "form/MainForm.h"
#include "platform/SystemCalls.h"
#include "platform/headless/HeadlessToolkit.h"
#include "runner/BatchRun.h"
#include "runner/RunInputs.h"

namespace {

struct Faults {
  std::string openFails;  // the file whose open fails, with openErrno
  int openErrno = 0;
  std::string readFails;  // the file whose readFailsAt-th read fails, with readErrno
  int readFailsAt = -1;
  int readErrno = 0;
  size_t readLimit = 0;   // bytes a read returns at most; 0: all asked for
  int changeAt = -1;      // the program text becomes its second version at this read of it
  int changeBackAt = -1;  // and the first again at this one
};

struct OpenFile {
  std::string name;
  size_t position = 0;
};

// The file system: three files by name, the program text in two versions.
struct FileSystem {
  std::map<std::string, std::string> files;
  std::string programA, programB;
  Faults faults;
  std::map<int, OpenFile> open;
  std::map<std::string, int> reads;
  int nextFd = 100;
  int64_t version = 1;
};

FileSystem& Fs() {
  static FileSystem fs;
  return fs;
}

std::string BaseName(const char* path) {
  const std::string name(path);
  return name.substr(name.find_last_of('/') + 1);
}

}  // namespace

namespace quelvar::platform::sys {

int Open(const char* path, int) {
  FileSystem& fs = Fs();
  const std::string name = BaseName(path);
  if (name == fs.faults.openFails) {
    errno = fs.faults.openErrno;
    return -1;
  }
  if (fs.files.count(name) == 0) {
    errno = ENOENT;
    return -1;
  }
  fs.open[fs.nextFd] = {name, 0};
  return fs.nextFd++;
}

ssize_t Read(int fd, void* buffer, size_t size) {
  FileSystem& fs = Fs();
  const auto file = fs.open.find(fd);
  if (file == fs.open.end()) {
    errno = EBADF;
    return -1;
  }
  const std::string& name = file->second.name;
  const int read = fs.reads[name]++;
  if (name == "prog.txt" && (read == fs.faults.changeAt || read == fs.faults.changeBackAt)) {
    fs.files[name] = read == fs.faults.changeAt ? fs.programB : fs.programA;
    ++fs.version;
  }
  if (name == fs.faults.readFails && read == fs.faults.readFailsAt) {
    errno = fs.faults.readErrno;
    return -1;
  }
  const std::string& bytes = fs.files[name];
  size_t& position = file->second.position;
  if (fs.faults.readLimit > 0) size = std::min(size, fs.faults.readLimit);
  // A file that shrank under an open descriptor reads as ended.
  const size_t n = position < bytes.size() ? std::min(size, bytes.size() - position) : 0;
  if (n > 0) bytes.copy(static_cast<char*>(buffer), n, position);
  position += n;
  return static_cast<ssize_t>(n);
}

ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset) {
  FileSystem& fs = Fs();
  const auto file = fs.open.find(fd);
  if (file == fs.open.end()) {
    errno = EBADF;
    return -1;
  }
  const std::string& bytes = fs.files[file->second.name];
  const auto at = static_cast<size_t>(offset);
  const size_t n = at < bytes.size() ? std::min(size, bytes.size() - at) : 0;
  if (n > 0) bytes.copy(static_cast<char*>(buffer), n, at);
  return static_cast<ssize_t>(n);
}

int Close(int fd) {
  return Fs().open.erase(fd) == 1 ? 0 : (errno = EBADF, -1);
}

int Stat(int fd, struct stat* info) {
  FileSystem& fs = Fs();
  const auto file = fs.open.find(fd);
  if (file == fs.open.end()) {
    errno = EBADF;
    return -1;
  }
  *info = {};
  info->st_mode = S_IFREG | 0644;
  info->st_size = static_cast<off_t>(fs.files[file->second.name].size());
  info->st_mtim.tv_sec = info->st_ctim.tv_sec = fs.version;
  return 0;
}

// An ordinary file system that gives no leases, as a network one: the readings are the checks.
int StatFileSystem(int, struct statfs* info) {
  *info = {};
  return 0;
}

int SetLease(int, int) {
  errno = EINVAL;
  return -1;
}

int GetLease(int) {
  errno = EINVAL;
  return -1;
}

}  // namespace quelvar::platform::sys

namespace {

struct Loaded {
  std::vector<std::string> errors;
  int32_t regCount;
  std::vector<int16_t> regs;
  std::vector<std::string> registerList;
  std::vector<std::string> program;
};

// Loads the descriptor on a new form with the given faults, then runs "Step Or Run", which reads
// the data form and the program text again.
Loaded Load(const Faults& faults) {
  FileSystem& fs = Fs();
  fs.faults = faults;
  fs.files["prog.txt"] = fs.programA;
  fs.reads.clear();
  quelvar::headless::HeadlessToolkit toolkit;
  quelvar::TForm1 form(toolkit);
  toolkit.FileDialog().WillChoose("d.rm");
  toolkit.ChooseMenuItem("Load1");
  toolkit.ChooseMenuItem("StepOrRun1");
  if (!fs.open.empty()) std::abort();
  Loaded loaded{{},
                form.RegCount,
                form.Regs,
                toolkit.ListNamed("List1").Lines(),
                toolkit.ListNamed("List2").Lines()};
  for (const auto& box : toolkit.ErrorBoxes()) loaded.errors.push_back(box.text);
  return loaded;
}

void FileLayer(FuzzedDataProvider& in) {
  FileSystem& fs = Fs();
  fs.files.clear();
  const bool plainDescriptor = in.ConsumeBool();
  fs.files["d.rm"] =
      plainDescriptor ? "Fuzz\r\ndata.txt\r\nprog.txt\r\n" : in.ConsumeRandomLengthString(64);
  fs.files["data.txt"] = in.ConsumeRandomLengthString(64);
  fs.programA = in.ConsumeRandomLengthString(128);
  fs.programB = in.ConsumeRandomLengthString(128);

  const char* names[] = {"d.rm", "data.txt", "prog.txt"};
  Faults faults;
  if (in.ConsumeBool()) {
    faults.openFails = names[in.ConsumeIntegralInRange(0, 2)];
    faults.openErrno = in.ConsumeIntegralInRange(1, 133);
  }
  if (in.ConsumeBool()) {
    faults.readFails = names[in.ConsumeIntegralInRange(0, 2)];
    faults.readFailsAt = in.ConsumeIntegralInRange(0, 12);
    faults.readErrno = in.ConsumeIntegralInRange(1, 133);
  }
  faults.readLimit = in.ConsumeIntegralInRange<size_t>(0, 9);
  if (in.ConsumeBool()) faults.changeAt = in.ConsumeIntegralInRange(0, 20);
  if (in.ConsumeBool()) faults.changeBackAt = in.ConsumeIntegralInRange(0, 40);

  const Loaded loaded = Load(faults);
  // A file name is any bytes but CR and LF, so "Cannot open file" may end in almost anything.
  static const std::regex kOwnMessage(
      "File not found\\.|Invalid filename\\.|Too many open files\\.|File access denied\\.|"
      "I/O error [0-9]+\\.|Invalid numeric input\\.|Cannot open file [\\s\\S]*|"
      "File kept changing while it was read\\.|List index out of bounds \\(-?[0-9]+\\)");
  for (const std::string& error : loaded.errors) {
    if (!std::regex_match(error, kOwnMessage)) {
      std::fprintf(stderr, "not a message of Quelvar's: '%s'\n", error.c_str());
      std::abort();
    }
  }
  if (!loaded.errors.empty()) return;

  // Nothing reported: the same as without faults, with one whole version of the program text.
  const Loaded first = Load({});
  fs.programA.swap(fs.programB);
  const Loaded second = Load({});
  fs.programA.swap(fs.programB);
  if (loaded.regCount != first.regCount || loaded.regs != first.regs ||
      loaded.registerList != first.registerList) {
    std::abort();
  }
  if (loaded.program != first.program && loaded.program != second.program) std::abort();
}

// quelvar-run's --program with a name of any bytes and --registers: the form reads the file of
// exactly that name (never one cut at a line end, a byte 26 or a NUL), or says it cannot open
// exactly that name, and reads the registers as given.
void RunnerInputs(FuzzedDataProvider& in) {
  FileSystem& fs = Fs();
  fs.faults = {};
  fs.reads.clear();
  const std::string name = in.ConsumeRandomLengthString(24);
  const std::string base = name.substr(name.find_last_of('/') + 1);
  const bool exists = in.ConsumeBool();
  fs.files.clear();
  // What a name cut at its first odd byte would read.
  const std::string cut = base.substr(0, base.find_first_of(std::string("\r\n\x1a\0", 4)));
  if (!cut.empty() && cut != base) fs.files[cut] = "Z(9)\r\n";
  if (exists && !base.empty()) fs.files[base] = "S(1)\r\nS(2)\r\n";
  quelvar::runner::Options options;
  options.program = "/" + name;
  options.programAsGiven = name;
  options.registers = "1,2";
  quelvar::runner::RunInputs inputs(options);
  quelvar::BatchRun run("Fuzz");
  const bool loaded = run.Load(inputs.Descriptor(), inputs.Files());
  if (!fs.open.empty()) std::abort();
  const bool named = name.find('\0') == std::string::npos && !base.empty();
  if (exists && named) {
    if (!loaded || run.Form().List2->Count() != 2 || run.Form().List2->Line(1) != "S(2)") {
      std::abort();
    }
  } else if (loaded ||
             // A failure's text is a C string: a name with a NUL shows up to it.
             !run.Failure().starts_with("Cannot open file /" + name.substr(0, name.find('\0')))) {
    std::fprintf(stderr, "failure: '%s'\n", run.Failure().c_str());
    std::abort();
  }
  if (run.Form().RegCount != 2 || run.Form().Regs[1] != 1 || run.Form().Regs[2] != 2) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FileLayer(in);
  RunnerInputs(in);
  return 0;
}
