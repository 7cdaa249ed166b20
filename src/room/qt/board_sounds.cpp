#include "room/qt/board_sounds.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace mh {

namespace {

// A history long enough for any check, short enough never to grow without bound.
constexpr size_t kPlayedKept = 64;
// The longest a queued sound waits for the one before it.
constexpr int kLongestWaitMs = 3000;

}  // namespace

BoardSounds::BoardSounds(const QString& moduleDirectory, QObject* parent)
    : QObject(parent), directory_(moduleDirectory) {
  audible_ = !directory_.isEmpty() && !QMediaDevices::defaultAudioOutput().isNull();
}

BoardSounds::~BoardSounds() = default;

QSoundEffect* BoardSounds::effect(int number) {
  if (!audible_) return nullptr;
  if (auto it = effects_.find(number); it != effects_.end()) return it->second;
  const QString path = directory_ + "/" + QString::number(number) + ".wav";
  QSoundEffect* sound = nullptr;
  if (QFileInfo::exists(path)) {
    sound = new QSoundEffect(this);
    sound->setSource(QUrl::fromLocalFile(path));
  }
  effects_[number] = sound;
  return sound;
}

void BoardSounds::start(int number) {
  played_.push_back(number);
  if (played_.size() > kPlayedKept) played_.pop_front();
  if (QSoundEffect* sound = effect(number)) sound->play();
}

void BoardSounds::play(int number) { start(number); }

void BoardSounds::playThenWait(int number) {
  start(number);
  QSoundEffect* sound = effect(number);
  if (!sound) return;
  blocking_ = sound;
  const auto release = [this, sound] {
    if (blocking_ != sound) return;
    disconnect(sound, &QSoundEffect::playingChanged, this, nullptr);
    blocking_ = nullptr;
    startWaiting();
  };
  connect(sound, &QSoundEffect::playingChanged, this, [sound, release] {
    if (!sound->isPlaying()) release();
  });
  // A sound that never starts (a device that went away) holds the queue no longer than this.
  QTimer::singleShot(kLongestWaitMs, this, release);
}

void BoardSounds::playAfter(int number) {
  if (!blocking_) return start(number);
  waiting_.push_back(number);
}

void BoardSounds::startWaiting() {
  while (!waiting_.empty() && !blocking_) {
    const int next = waiting_.front();
    waiting_.pop_front();
    start(next);
  }
}

}  // namespace mh
