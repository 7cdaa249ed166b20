#pragma once

#include <QObject>
#include <map>
#include <vector>

#include "shell/frame_commands.h"

class QAction;
class QIcon;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace mh {

// The main frame's commands as actions, made once from the command table: each with its label in
// the interface language, its shortcut, its check mark and, when the toolbar has a button for it,
// the button's picture, which the menus show too. The picture comes from the desktop's icon theme
// when the theme has one, otherwise from the pictures built into the program.
class FrameActions : public QObject {
  Q_OBJECT

 public:
  // The actions belong to owner, whose window their shortcuts work in.
  explicit FrameActions(QWidget* owner);

  QAction* action(FrameCommand command) const { return actions_.at(command); }
  // Fills a menu bar with the main menus, in order; returns the menus made.
  std::vector<QMenu*> fillMenuBar(QMenuBar* bar) const;
  void fillToolBar(QToolBar* bar) const;
  // Enables every command as the state allows.
  void updateEnabled(const FrameState& state) const;

  // A command's label in the interface language.
  static QString label(FrameCommand command);
  // A command's picture: the icon theme's, else the built-in one; null without either.
  static QIcon picture(FrameCommand command);

 private:
  std::map<FrameCommand, QAction*> actions_;
};

}  // namespace mh
