#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quelvar {

// Where the text reader takes its bytes from: a file, standard input, or memory in tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills up to `size` bytes and returns how many; 0 means the end. Failures throw InOutError.
  virtual size_t Read(char* buffer, size_t size) = 0;
};

// Reads the program descriptor and the data form. CR LF, a lone CR and a lone LF each end a line,
// as in the program text (LF then CR is two line ends), so files from any editor read alike; a
// byte 26 ends the data as the end of the file does.
class TextReader {
 public:
  explicit TextReader(ByteSource& source);

  // Sets `line` to the bytes up to, not including, the next CR, LF or the end. On a failure it
  // holds what was read before it.
  void ReadLine(std::string& line);
  // Skips past the next line end: an LF, or a CR and an LF right after it.
  void FinishLine();
  // The next token's value; blank bytes and line ends before it are skipped, 0 at the end.
  int32_t ReadInteger();
  bool AtEnd();

 private:
  static constexpr int kEnd = -1;
  int Peek();

  ByteSource& source_;
  // Not zero-filled: a small file touches only the memory it is read into.
  std::unique_ptr<char[]> buffer_;
  size_t pos_ = 0;
  size_t filled_ = 0;
  bool sourceDone_ = false;
};

}  // namespace quelvar
