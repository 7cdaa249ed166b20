#include "shell/qt/recent_files_menu.h"

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <filesystem>

#include "room/qt/child_frame.h"
#include "room/qt/room_view.h"
#include "shell/qt/main_frame.h"
#include "shell/qt/record_files.h"

namespace mh {

RecentFilesMenu::RecentFilesMenu(CMainFrame& frame, std::string settingsPath)
    : QMenu(tr("最近的棋谱"), &frame), frame_(frame), settingsPath_(std::move(settingsPath)) {
  recent_.load(settingsPath_);
  rebuild();
  // A new room becomes the active one, so following activation reaches every room.
  for (CChildFrame* room : frame_.rooms()) follow(room->roomView());
  connect(frame_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
    if (auto* room = qobject_cast<CChildFrame*>(window)) follow(room->roomView());
  });
}

void RecentFilesMenu::follow(RoomView* room) {
  connect(room, &RoomView::recordOpened, this, &RecentFilesMenu::opened, Qt::UniqueConnection);
}

void RecentFilesMenu::opened(const QString& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(QFile::encodeName(path).toStdString(), ec);
  if (ec || !recent_.add(absolute.string())) return;
  rebuild();
  store();
}

void RecentFilesMenu::choose(const std::string& path) {
  (void)openRecordFiles(frame_, {path});
  std::error_code ec;
  if (std::filesystem::exists(path, ec) || !recent_.remove(path)) return;
  rebuild();
  store();
}

void RecentFilesMenu::rebuild() {
  clear();
  const std::vector<std::string> labels = recent_.menuLabels();
  for (size_t i = 0; i < labels.size(); ++i) {
    const std::string path = recent_.files()[i];
    QAction* action = addAction(QFile::decodeName(QByteArray::fromStdString(labels[i])));
    action->setToolTip(QFile::decodeName(QByteArray::fromStdString(path)));
    // Queued: choosing rebuilds the menu, which must not delete the action while it signals.
    connect(action, &QAction::triggered, this, [this, path] { choose(path); }, Qt::QueuedConnection);
  }
  setEnabled(!labels.empty());
}

void RecentFilesMenu::store() { (void)recent_.save(settingsPath_); }

RecentFilesMenu* addRecentFilesMenu(CMainFrame& frame, const std::string& settingsPath) {
  auto* recent = new RecentFilesMenu(frame, settingsPath);
  const QList<QAction*> menus = frame.menuBar()->actions();
  QMenu* file = menus.isEmpty() ? nullptr : menus.first()->menu();
  if (!file || file->actions().isEmpty()) return recent;
  QAction* exit = file->actions().last();
  file->insertMenu(exit, recent);
  file->insertSeparator(exit);
  return recent;
}

}  // namespace mh
