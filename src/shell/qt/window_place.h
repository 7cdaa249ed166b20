#pragma once

#include <string>

class QMainWindow;

namespace mh {

// The main window's size, position and the places of its tool bars and docked bars, kept
// between runs in section "Window" of the desktop settings file (kDesktopSettingsName in the
// program's directory); the file's other sections are left as they are.

// Shows the window as the last run left it; maximised when nothing usable is stored (the first
// start, or a value that does not restore).
void showAtSavedPlace(QMainWindow& window, const std::string& settingsPath);

// Stores the window's place. False when the file exists but cannot be read (it is then left
// alone) or cannot be written.
[[nodiscard]] bool saveWindowPlace(const QMainWindow& window, const std::string& settingsPath);

}  // namespace mh
