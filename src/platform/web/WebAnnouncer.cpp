#include "platform/web/WebAnnouncer.h"

#include "platform/web/WebPage.h"

namespace quelvar::web {

void WebAnnouncer::Announce(std::string_view text, platform::Announcement kind, double now) {
  if (kind == platform::Announcement::kProgress && lastMade_ && now - *lastMade_ < kProgressGapMs) {
    held_ = text;
    return;
  }
  Present(text, now);
}

void WebAnnouncer::Frame(double now) {
  if (!held_ || (lastMade_ && now - *lastMade_ < kProgressGapMs)) return;
  const std::string text = std::move(*held_);
  Present(text, now);
}

void WebAnnouncer::Present(std::string_view text, double now) {
  held_.reset();
  page::Announce(text);
  lastMade_ = now;
}

}  // namespace quelvar::web
