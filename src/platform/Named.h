#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quelvar::platform {

// Controls and menu items as a toolkit keeps them: by the name the window description gives.
template <typename T>
using NamedMap = std::map<std::string, std::unique_ptr<T>, std::less<>>;

// The one called `name`; a name the description does not have is a programming error.
template <typename T>
T& Named(const NamedMap<T>& map, std::string_view name) {
  const auto found = map.find(name);
  if (found == map.end()) throw std::out_of_range("Nothing named " + std::string(name));
  return *found->second;
}

}  // namespace quelvar::platform
