#pragma once

class QApplication;

namespace mh {

class CChildFrame;
class CMainFrame;

// What the desktop program does for end-to-end tests, switched on by environment variables:
//   MOONHAVEN_REPORT_BOARD=MS   after MS ms, prints "board X Y WIDTH HEIGHT": where the first
//                               room's board lies on the screen;
//   MOONHAVEN_SMOKE_TEST=1      after MOONHAVEN_SMOKE_TEST_MS ms, saves a picture of the window to
//                               MOONHAVEN_SCREENSHOT (when set), prints the program's directory
//                               ("program directory: DIR") and "shown: TITLE" or
//                               "hidden: TITLE" and quits (status 0 when shown).
void installTestHooks(QApplication& app, CMainFrame& frame, CChildFrame* firstRoom);

}  // namespace mh
