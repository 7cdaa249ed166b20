#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <map>

class QSoundEffect;

namespace mh {

// The board module's sounds (20716.wav... ), played without blocking the window thread. A sound
// may be queued behind the one playing, so that a chime has finished before a stone's click. No
// module folder, a missing file or no audio output: silence, without errors.
class BoardSounds : public QObject {
  Q_OBJECT

 public:
  // moduleDirectory: the board module folder (empty: silent).
  explicit BoardSounds(const QString& moduleDirectory, QObject* parent = nullptr);
  ~BoardSounds() override;

  // Plays a sound now, stopping nothing else.
  void play(int number);
  // Plays a sound once the sounds started with playThenWait have finished.
  void playAfter(int number);
  // Plays a sound and makes later playAfter calls wait for it.
  void playThenWait(int number);

  // The numbers played so far, oldest first (what tests and the silent machine can check).
  const std::deque<int>& played() const { return played_; }
  bool audible() const { return audible_; }

 private:
  QSoundEffect* effect(int number);
  void start(int number);
  void startWaiting();

  QString directory_;
  bool audible_ = false;
  std::map<int, QSoundEffect*> effects_;
  QSoundEffect* blocking_ = nullptr;
  std::deque<int> waiting_;
  std::deque<int> played_;
};

}  // namespace mh
