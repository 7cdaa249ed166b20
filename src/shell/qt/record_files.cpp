#include "shell/qt/record_files.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>

#include "room/qt/child_frame.h"
#include "room/qt/room_view.h"
#include "shell/app_title.h"
#include "shell/qt/main_frame.h"

namespace mh {

namespace {

QString fileName(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

void tellNotOpened(CMainFrame& frame, const std::vector<std::string>& files) {
  QStringList names;
  for (const std::string& f : files) names << fileName(f);
  const QString text =
      QCoreApplication::translate("mh::CMainFrame", "最多只能打开九个棋室, 这些棋谱没有打开:") + "\n" + names.join('\n');
  // Asynchronous, so that start-up goes on while the box is up.
  auto* box = new QMessageBox(QMessageBox::NoIcon, QString::fromUtf8(kAppTitle), text, QMessageBox::Ok, &frame);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace

RecordsToOpen openRecordFiles(CMainFrame& frame, const std::vector<std::string>& files, size_t maxRooms) {
  const size_t roomsOpen = frame.activeRoom() ? static_cast<size_t>(frame.rooms().size()) : 0;
  RecordsToOpen plan = RecordsToOpen::plan(files, roomsOpen, maxRooms);
  for (const std::string& f : plan.intoActiveRoom) (void)frame.activeRoom()->openRecordFile(fileName(f), false);
  for (size_t i = 0; i < plan.intoNewRooms.size(); ++i) {
    CChildFrame* room = frame.newRoom();
    if (!room) {  // the frame refused one more room after all: the rest stay closed too
      plan.notOpened.insert(plan.notOpened.begin(), plan.intoNewRooms.begin() + static_cast<std::ptrdiff_t>(i),
                            plan.intoNewRooms.end());
      plan.intoNewRooms.resize(i);
      break;
    }
    (void)room->roomView()->openRecordFile(fileName(plan.intoNewRooms[i]), false);
  }
  if (!plan.notOpened.empty()) tellNotOpened(frame, plan.notOpened);
  return plan;
}

}  // namespace mh
