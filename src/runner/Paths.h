#pragma once

#include <string>

namespace quelvar::runner {

// `name` made absolute against the working directory and tidied ("a/./b/../c" is "a/c"); as given
// when there is no working directory (it was removed), so that opening it fails and says so.
std::string AbsolutePath(const std::string& name);

}  // namespace quelvar::runner
