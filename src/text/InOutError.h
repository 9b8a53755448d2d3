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
};

// A failure of a file operation: the code, and the message the error box shows for it.
class InOutError : public std::runtime_error {
 public:
  explicit InOutError(int code);
  int code() const { return code_; }

 private:
  int code_;
};

std::string InOutMessage(int code);

}  // namespace quelvar
