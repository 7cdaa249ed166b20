#include "shell/qt/window_place.h"

#include <QByteArray>
#include <QMainWindow>
#include <QScreen>

#include "platform/ini_document.h"

namespace mh {

namespace {

constexpr const char* kSection = "Window";
constexpr const char* kGeometry = "Geometry";
constexpr const char* kBars = "Bars";

QByteArray stored(const IniDocument& settings, const char* key) {
  const std::optional<std::string> value = settings.value(kSection, key);
  return value ? QByteArray::fromBase64(QByteArray::fromStdString(*value)) : QByteArray();
}

// Gives the window a normal size that fits the screen it opens on, centred there: the size it
// has when the desktop does not maximise it (no window manager) and when it is restored.
void fitToScreen(QMainWindow& window) {
  const QScreen* screen = window.screen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  QRect place(QPoint(), window.size().boundedTo(available.size()));
  place.moveCenter(available.center());
  window.setGeometry(place);
}

}  // namespace

void showAtSavedPlace(QMainWindow& window, const std::string& settingsPath) {
  IniDocument settings;
  const bool read = settings.load(settingsPath);
  const QByteArray geometry = read ? stored(settings, kGeometry) : QByteArray();
  if (geometry.isEmpty() || !window.restoreGeometry(geometry)) {
    fitToScreen(window);
    window.showMaximized();
    return;
  }
  (void)window.restoreState(stored(settings, kBars));
  window.show();
}

bool saveWindowPlace(const QMainWindow& window, const std::string& settingsPath) {
  IniDocument settings;
  if (!settings.load(settingsPath)) return false;
  settings.setValue(kSection, kGeometry, window.saveGeometry().toBase64().toStdString());
  settings.setValue(kSection, kBars, window.saveState().toBase64().toStdString());
  return settings.save(settingsPath);
}

}  // namespace mh
