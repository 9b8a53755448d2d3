#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Toolkit.h"

namespace quelvar::web {

// What a screen reader is told of a run (an addition), through the page's polite live region:
// steps and commands at once; the steps of a running program at most once a second, the latest
// one held back until it is due; the end of a run at once, in place of any held back. Times are
// the page's clock, in milliseconds.
class WebAnnouncer {
 public:
  static constexpr double kProgressGapMs = 1000;

  void Announce(std::string_view text, platform::Announcement kind, double now);
  // Makes the announcement held back once it is due.
  void Frame(double now);

 private:
  void Present(std::string_view text, double now);

  std::optional<std::string> held_;
  std::optional<double> lastMade_;
};

}  // namespace quelvar::web
