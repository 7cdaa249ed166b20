#include "shell/qt/frame_actions.h"

#include <QAction>
#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QToolBar>

#include "toolbar_icons.h"

namespace mh {

FrameActions::FrameActions(QWidget* owner) : QObject(owner) {
  for (const FrameCommandInfo& info : frameCommands()) {
    auto* action = new QAction(label(info.command), owner);
    action->setObjectName(QStringLiteral("command%1").arg(static_cast<int>(info.command)));
    if (*info.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(info.shortcut)));
    action->setCheckable(info.checkable);
    if (hasToolbarButton(info.command)) {
      action->setIcon(picture(info.command));
      QString tip = action->text();
      tip.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&|\\.\\.\\.$")));
      action->setToolTip(tip);
    }
    owner->addAction(action);
    actions_[info.command] = action;
  }
}

QString FrameActions::label(FrameCommand command) {
  return QCoreApplication::translate(kFrameCommandsContext, frameCommandInfo(command).text);
}

QIcon FrameActions::picture(FrameCommand command) {
  const QIcon builtIn(toolbarPicturePath(static_cast<int>(command)));
  const char* name = frameCommandInfo(command).icon;
  if (!*name) return builtIn;
  const QString themeName = QString::fromLatin1(name);
  if (QIcon::hasThemeIcon(themeName)) return QIcon::fromTheme(themeName);
  // Themes that draw only symbolic pictures name them so.
  const QString symbolic = themeName + QStringLiteral("-symbolic");
  if (QIcon::hasThemeIcon(symbolic)) return QIcon::fromTheme(symbolic);
  return builtIn;
}

std::vector<QMenu*> FrameActions::fillMenuBar(QMenuBar* bar) const {
  std::vector<QMenu*> menus;
  for (const FrameMenu& m : mainMenus()) {
    QMenu* menu = bar->addMenu(QCoreApplication::translate(kFrameCommandsContext, m.title));
    for (const std::optional<FrameCommand>& item : m.items) {
      if (item) menu->addAction(action(*item));
      else menu->addSeparator();
    }
    menus.push_back(menu);
  }
  return menus;
}

void FrameActions::fillToolBar(QToolBar* bar) const {
  for (const std::optional<FrameCommand>& button : toolbarButtons()) {
    if (button) bar->addAction(action(*button));
    else bar->addSeparator();
  }
}

void FrameActions::updateEnabled(const FrameState& state) const {
  for (const auto& [command, action] : actions_) action->setEnabled(frameCommandEnabled(command, state));
}

}  // namespace mh
