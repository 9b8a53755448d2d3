#include "text/InOutError.h"

#include <cerrno>

namespace quelvar {

std::string InOutMessage(int code) {
  switch (code) {
    case 2:
      return "File not found";
    case 3:
      return "Invalid filename";
    case 4:
      return "Too many open files";
    case 5:
      return "File access denied";
    case 100:
      return "Read beyond end of file";
    case 101:
      return "Disk full";
    case 106:
      return "Invalid numeric input";
    case kFileKeptChanging:
      return "File kept changing while it was read";
    default:
      return "I/O error " + std::to_string(code);
  }
}

InOutError::InOutError(int code) : std::runtime_error(InOutMessage(code)), code_(code) {}

InOutError InOutError::Platform(int error) {
  switch (error) {
    case ENOENT:
      return InOutError(kFileNotFound);
    case ENOTDIR:
      return InOutError(kInvalidFilename);
    case EMFILE:
    case ENFILE:
      return InOutError(kTooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EISDIR:
      return InOutError(kFileAccessDenied);
    default:
      return InOutError(error, "I/O error " + std::to_string(error));
  }
}

}  // namespace quelvar
