#include "support/StandardInput.h"

#include <fcntl.h>
#include <unistd.h>

namespace quelvar::test {

StandardInput::StandardInput(int fd) : saved_(dup(STDIN_FILENO)) {
  if (fd < 0) fd = open("/dev/null", O_RDONLY);
  dup2(fd, STDIN_FILENO);
  close(fd);
}

StandardInput::~StandardInput() {
  dup2(saved_, STDIN_FILENO);
  close(saved_);
}

}  // namespace quelvar::test
