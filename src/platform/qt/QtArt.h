#pragma once

#include <QIcon>
#include <QImage>

namespace quelvar::qt {

// Quelvar's own art: the logo, 422 x 155, drawn at start-up and shown stretched into 233 x 33.
QImage QuelvarLogo();
// The application icon at every size it is installed in, from the files rendered from
// desktop/icons/org.quelvar.Quelvar.svg, so the window and the desktop show one picture.
QIcon QuelvarIcon();

}  // namespace quelvar::qt
