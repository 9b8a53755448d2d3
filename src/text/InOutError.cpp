#include "text/InOutError.h"

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
    default:
      return "I/O error " + std::to_string(code);
  }
}

InOutError::InOutError(int code) : std::runtime_error(InOutMessage(code)), code_(code) {}

}  // namespace quelvar
