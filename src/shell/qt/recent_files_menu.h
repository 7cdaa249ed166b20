#pragma once

#include <QMenu>
#include <string>

#include "shell/recent_files.h"

namespace mh {

class CMainFrame;
class RoomView;

// The File menu's list of the records opened last (RecentFiles), kept in the desktop settings
// file. Every record a room of the frame opens goes to the top; choosing an entry opens it in
// the active room (a new room when none is open); an entry whose file is gone is dropped after
// its room has said so.
class RecentFilesMenu : public QMenu {
  Q_OBJECT

 public:
  // Reads the list from settingsPath and follows the frame's rooms.
  RecentFilesMenu(CMainFrame& frame, std::string settingsPath);

  const RecentFiles& files() const { return recent_; }

 private:
  void follow(RoomView* room);
  void opened(const QString& path);
  void choose(const std::string& path);
  void rebuild();
  void store();

  CMainFrame& frame_;
  std::string settingsPath_;
  RecentFiles recent_;
};

// Puts a RecentFilesMenu into the frame's first menu (File), above its last entry (exit).
RecentFilesMenu* addRecentFilesMenu(CMainFrame& frame, const std::string& settingsPath);

}  // namespace mh
