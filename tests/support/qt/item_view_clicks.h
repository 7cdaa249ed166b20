#pragma once

#include <QAbstractItemView>
#include <QTest>

namespace mh::test {

// A double-click as a user makes it: an item view takes a double-click only on the item pressed
// just before.
inline void doubleClick(QAbstractItemView* view, QPoint at) {
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace mh::test
