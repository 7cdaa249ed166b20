#pragma once

#include <QString>

// The toolbar pictures built into the program, for commands the desktop's icon theme has no
// picture for. Linking moonhaven_toolbar_icons registers them as Qt resources:
//   :/toolbar/<id>.png (16 x 16) and :/toolbar/<id>@2x.png (32 x 32)
// for the identifiers of the toolbar's buttons.
namespace mh {

// The 16 x 16 picture's resource path for a command identifier; Qt finds the "@2x" one beside it
// for high-density screens. Empty for an identifier without a picture.
QString toolbarPicturePath(int commandId);

}  // namespace mh
