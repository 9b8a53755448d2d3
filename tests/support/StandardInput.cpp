#include "support/StandardInput.h"

#include <fcntl.h>
#include <unistd.h>

namespace quelvar::test {

StandardInput::StandardInput(int fd) : saved_(dup(STDIN_FILENO)) {
  if (fd < 0) fd = open("/dev/null", O_RDONLY);
  // With standard input closed, the file just opened may already stand in its place.
  if (fd != STDIN_FILENO) {
    dup2(fd, STDIN_FILENO);
    close(fd);
  }
}

StandardInput::~StandardInput() {
  if (saved_ < 0) {
    close(STDIN_FILENO);
    return;
  }
  dup2(saved_, STDIN_FILENO);
  close(saved_);
}

}  // namespace quelvar::test
