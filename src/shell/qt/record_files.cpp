#include "shell/qt/record_files.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

#include "records/record_loader.h"
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

// The local record files a drag carries, in its order, as the file system spells them.
std::vector<std::string> droppedRecords(const QMimeData* data) {
  std::vector<std::string> files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    const std::string path = QFile::encodeName(url.toLocalFile()).toStdString();
    if (isRecordFileName(path)) files.push_back(path);
  }
  return files;
}

// Takes the frame's drag and drop events; the frame's children pass drags on to it.
class RecordDrops : public QObject {
 public:
  explicit RecordDrops(CMainFrame& frame) : QObject(&frame), frame_(frame) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &frame_) return false;
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
      auto* drag = static_cast<QDropEvent*>(event);
      if (droppedRecords(drag->mimeData()).empty()) drag->ignore();
      else drag->acceptProposedAction();
      return true;
    }
    if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      const std::vector<std::string> files = droppedRecords(drop->mimeData());
      if (files.empty()) return false;
      drop->acceptProposedAction();
      (void)openRecordFiles(frame_, files);
      return true;
    }
    return false;
  }

 private:
  CMainFrame& frame_;
};

}  // namespace

void acceptRecordDrops(CMainFrame& frame) {
  frame.setAcceptDrops(true);
  frame.installEventFilter(new RecordDrops(frame));
}

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
