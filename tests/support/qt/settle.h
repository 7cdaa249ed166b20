#pragma once

#include <QTest>

namespace mh::test {

// Waits until pred holds, serving events meanwhile; the limit is generous so that a loaded
// machine does not fail a sound test.
template <typename Pred>
bool settle(Pred pred, int timeoutMs = 20000) {
  return QTest::qWaitFor(pred, timeoutMs);
}

}  // namespace mh::test
