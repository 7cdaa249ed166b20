#pragma once

#include <QIcon>

namespace mh {

// The name of the program's desktop file and of its icon in the desktop's icon theme.
inline constexpr const char* kDesktopAppId = MOONHAVEN_APP_ID;

// The program's icon for its windows: the icon theme's, installed with the program, else the same
// picture drawn here at the usual sizes (a build folder).
QIcon programIcon();

}  // namespace mh
