#include <stdexcept>
#include <string>

#include "platform/Controls.h"

namespace quelvar::platform {

std::string_view ListBox::Line(int32_t j) const {
  if (j < 0 || j >= Count()) {
    throw std::runtime_error("List index out of bounds (" + std::to_string(j) + ")");
  }
  return LineAt(j);
}

Rect ListBox::RowRect(int32_t r) const {
  const int32_t count = Count();
  if (r < 0 || r > count) return {};
  if (r < count || count == 0) return ItemRect(r);
  Rect below = ItemRect(count - 1);
  const int64_t height = below.bottom - below.top;
  below.top += height;
  below.bottom += height;
  return below;
}

void Timer::SetPeriod(int32_t period) {
  if (period == period_) return;
  period_ = period;
  Restart(period);
}

}  // namespace quelvar::platform
