#pragma once

#include <stdexcept>
#include <string>

namespace quelvar {

// I/O error codes the readers report; any other code is a platform error number.
enum InOutCode : int {
  kFileNotFound = 2,
  kInvalidFilename = 3,
  kTooManyOpenFiles = 4,
  kFileAccessDenied = 5,
  kInvalidHandle = 6,
  kInvalidNumericInput = 106,
  // Quelvar's own: a file that changed at every one of several readings.
  kFileKeptChanging = 1000,
};

// A failure of a file operation: the code, and the message the error box shows for it.
class InOutError : public std::runtime_error {
 public:
  // A code of the I/O error table.
  explicit InOutError(int code);
  // The platform's own error number (an errno). Only file missing, folder missing, too many open
  // files and access denied become the table's codes 2 to 5; any other number is shown as
  // "I/O error N" with the platform's N, also when N happens to equal a code of the table.
  static InOutError Platform(int error);
  int code() const { return code_; }

 private:
  InOutError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int code_;
};

std::string InOutMessage(int code);

}  // namespace quelvar
