#pragma once

#include <QIcon>
#include <QImage>

namespace quelvar::qt {

// Quelvar's own art, from the files in desktop/ that the browser edition shows too: the logo,
// 422 x 155, shown stretched into 233 x 33 (desktop/art/logo.png, rendered from logo.svg).
QImage QuelvarLogo();
// The application icon at every size it is installed in, from the files rendered from
// desktop/icons/org.quelvar.Quelvar.svg, so the window and the desktop show one picture.
QIcon QuelvarIcon();

}  // namespace quelvar::qt
