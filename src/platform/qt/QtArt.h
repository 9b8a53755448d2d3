#pragma once

#include <QImage>

namespace quelvar::qt {

// Quelvar's own art, drawn at start-up: the logo, 422 x 155, which the window shows stretched
// into 233 x 33, and the 32 x 32 application icon.
QImage QuelvarLogo();
QImage QuelvarIcon();

}  // namespace quelvar::qt
