#pragma once

#include <QApplication>
#include <QTimer>

namespace mh::test {

// Runs f on the next modal widget of type Widget once it is shown. Polls with a repeating timer,
// so that it never blocks an event loop of the code under test.
template <typename Widget, typename F>
void whenModal(F f) {
  auto* poll = new QTimer;
  poll->setInterval(20);
  QObject::connect(poll, &QTimer::timeout, [poll, f] {
    if (auto* w = qobject_cast<Widget*>(QApplication::activeModalWidget())) {
      poll->stop();
      poll->deleteLater();
      f(w);
    }
  });
  poll->start();
}

}  // namespace mh::test
