#include "shell/frame_commands.h"

#include <algorithm>
#include <cassert>

namespace mh {

namespace {

// Marks a label for Qt's translation tools (which read the marker), without Qt: the compiler sees
// the text. The window code translates it in the context kFrameCommandsContext.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

using C = FrameCommand;

const std::vector<FrameCommandInfo> kCommands = {
    {C::NewRoom, QT_TRANSLATE_NOOP("mh::FrameCommands", "新建棋室(&N)"), "Ctrl+N", "window-new", false},
    {C::Open, QT_TRANSLATE_NOOP("mh::FrameCommands", "打开棋谱(&O)..."), "Ctrl+O", "document-open", false},
    {C::RecordLibrary, QT_TRANSLATE_NOOP("mh::FrameCommands", "从棋谱库中打开(&D)..."), "Ctrl+D", "folder-open", false},
    {C::Save, QT_TRANSLATE_NOOP("mh::FrameCommands", "保存棋谱(&S)"), "Ctrl+S", "document-save", false},
    {C::SaveAs, QT_TRANSLATE_NOOP("mh::FrameCommands", "另存棋谱为(&A)..."), "", "document-save-as", false},
    {C::Export, QT_TRANSLATE_NOOP("mh::FrameCommands", "导出到缺省sgf文件(&E)"), "Ctrl+F5", "", false},
    {C::CloseRoom, QT_TRANSLATE_NOOP("mh::FrameCommands", "关闭(&C)"), "Ctrl+F4", "", false},
    {C::Exit, QT_TRANSLATE_NOOP("mh::FrameCommands", "退出(&X)"), "", "", false},
    {C::ViewToolbar, QT_TRANSLATE_NOOP("mh::FrameCommands", "工具栏(&T)"), "", "", true},
    {C::ViewStatusBar, QT_TRANSLATE_NOOP("mh::FrameCommands", "状态栏(&S)"), "", "", true},
    {C::ViewStudyBar, QT_TRANSLATE_NOOP("mh::FrameCommands", "对局信息(&G)"), "", "", true},
    {C::ViewRoomBar, QT_TRANSLATE_NOOP("mh::FrameCommands", "棋室信息(&R)"), "", "", true},
    {C::LanguageChinese, QT_TRANSLATE_NOOP("mh::FrameCommands", "中文(&C)"), "", "", true},
    {C::LanguageEnglish, QT_TRANSLATE_NOOP("mh::FrameCommands", "英文(&E)"), "", "", true},
    {C::KeepOnTop, QT_TRANSLATE_NOOP("mh::FrameCommands", "保持窗体在最前面(&K)"), "", "", true},
    {C::NewGame, QT_TRANSLATE_NOOP("mh::FrameCommands", "开始新局(&N)"), "Ctrl+Return", "document-new", false},
    {C::EndGame, QT_TRANSLATE_NOOP("mh::FrameCommands", "结束(&E)"), "Ctrl+X", "", false},
    {C::Pass, QT_TRANSLATE_NOOP("mh::FrameCommands", "停一手(&P)"), "", "", false},
    {C::SwapXY, QT_TRANSLATE_NOOP("mh::FrameCommands", "棋盘XY交换(&X)"), "", "object-rotate-right", false},
    {C::FlipX, QT_TRANSLATE_NOOP("mh::FrameCommands", "水平翻转(&H)"), "", "object-flip-horizontal", false},
    {C::FlipY, QT_TRANSLATE_NOOP("mh::FrameCommands", "垂直翻转(&V)"), "", "object-flip-vertical", false},
    {C::Settings, QT_TRANSLATE_NOOP("mh::FrameCommands", "设置(&S)"), "", "", false},
    {C::Play, QT_TRANSLATE_NOOP("mh::FrameCommands", "对弈(&Y)"), "", "", false},
    {C::MarkDead, QT_TRANSLATE_NOOP("mh::FrameCommands", "标记死子(&D)"), "", "", true},
    {C::Count, QT_TRANSLATE_NOOP("mh::FrameCommands", "点算胜负(&C)"), "", "", false},
    {C::Rules, QT_TRANSLATE_NOOP("mh::FrameCommands", "规则(&R)"), "", "", false},
    {C::UpdateCustomIndex, QT_TRANSLATE_NOOP("mh::FrameCommands", "更新自定义棋谱库索引(&U)"), "", "", false},
    {C::PatternLibrary, QT_TRANSLATE_NOOP("mh::FrameCommands", "全局模式库管理(&M)"), "", "", false},
    {C::MoveNumbers, QT_TRANSLATE_NOOP("mh::FrameCommands", "显示手数"), "", "", false},
    {C::HintDetails, QT_TRANSLATE_NOOP("mh::FrameCommands", "查看标记详细信息(...)"), "", "", false},
    // No icon theme names arrangements of windows: the bundled pictures show them.
    {C::Cascade, QT_TRANSLATE_NOOP("mh::FrameCommands", "层叠(&C)"), "", "", false},
    {C::TileHorizontally, QT_TRANSLATE_NOOP("mh::FrameCommands", "水平平铺(&T)"), "", "", false},
    {C::TileVertically, QT_TRANSLATE_NOOP("mh::FrameCommands", "垂直平铺(&V)"), "", "", false},
    {C::ArrangeIcons, QT_TRANSLATE_NOOP("mh::FrameCommands", "排列图标(&A)"), "", "", false},
    {C::CloseAllRooms, QT_TRANSLATE_NOOP("mh::FrameCommands", "关闭所有窗口(&L)"), "", "", false},
    {C::HelpTopics, QT_TRANSLATE_NOOP("mh::FrameCommands", "帮助主题(&H)"), "F1", "", false},
    {C::HomePage, QT_TRANSLATE_NOOP("mh::FrameCommands", "访问主页(&W)"), "", "", false},
    {C::Feedback, QT_TRANSLATE_NOOP("mh::FrameCommands", "发送反馈邮件(&M)"), "", "", false},
    {C::About, QT_TRANSLATE_NOOP("mh::FrameCommands", "关于Moonhaven(Stonelark)(&A)..."), "", "help-about", false},
};

const std::vector<FrameMenu> kMenus = {
    {QT_TRANSLATE_NOOP("mh::FrameCommands", "文件(&F)"),
     {C::NewRoom, C::Open, C::RecordLibrary, C::Save, C::SaveAs, std::nullopt, C::Export, std::nullopt, C::CloseRoom,
      C::Exit}},
    {QT_TRANSLATE_NOOP("mh::FrameCommands", "查看(&V)"),
     {C::ViewToolbar, C::ViewStatusBar, C::ViewStudyBar, C::ViewRoomBar, std::nullopt, C::LanguageChinese,
      C::LanguageEnglish, std::nullopt, C::KeepOnTop}},
    {QT_TRANSLATE_NOOP("mh::FrameCommands", "游戏(&G)"),
     {C::NewGame, C::EndGame, C::Pass, std::nullopt, C::SwapXY, C::FlipX, C::FlipY, std::nullopt, C::Settings,
      std::nullopt, C::Play, C::MarkDead, C::Count, C::Rules, std::nullopt, C::UpdateCustomIndex,
      C::PatternLibrary}},
    {QT_TRANSLATE_NOOP("mh::FrameCommands", "棋室(&R)"), {C::MoveNumbers, C::HintDetails}},
    {QT_TRANSLATE_NOOP("mh::FrameCommands", "窗口(&W)"),
     {C::Cascade, C::TileHorizontally, C::TileVertically, C::ArrangeIcons, std::nullopt, C::CloseAllRooms}},
    {QT_TRANSLATE_NOOP("mh::FrameCommands", "帮助(&H)"), {C::HelpTopics, C::HomePage, C::Feedback, std::nullopt, C::About}},
};

const std::vector<std::optional<FrameCommand>> kToolbar = {
    C::NewRoom, C::Open,    C::RecordLibrary, C::Save,    C::SaveAs,           std::nullopt,
    C::NewGame, std::nullopt, C::SwapXY,      C::FlipX,   C::FlipY,            std::nullopt,
    C::Cascade, C::TileHorizontally, C::TileVertically, std::nullopt, C::About,
};

}  // namespace

const std::vector<FrameCommandInfo>& frameCommands() { return kCommands; }

const FrameCommandInfo& frameCommandInfo(FrameCommand command) {
  const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                               [command](const FrameCommandInfo& info) { return info.command == command; });
  assert(it != kCommands.end());
  return *it;
}

const std::vector<FrameMenu>& mainMenus() { return kMenus; }

const std::vector<std::optional<FrameCommand>>& toolbarButtons() { return kToolbar; }

bool hasToolbarButton(FrameCommand command) {
  return std::find(kToolbar.begin(), kToolbar.end(), std::optional<FrameCommand>(command)) != kToolbar.end();
}

char32_t accessKey(std::string_view label) {
  for (size_t i = 0; i + 1 < label.size(); ++i) {
    if (label[i] != '&') continue;
    const unsigned char next = static_cast<unsigned char>(label[i + 1]);
    if (next == '&') {
      ++i;
      continue;
    }
    if (next < 0x80) return static_cast<char32_t>(next >= 'a' && next <= 'z' ? next - 'a' + 'A' : next);
    // A multi-byte UTF-8 character: decode it.
    const int extra = next >= 0xF0 ? 3 : next >= 0xE0 ? 2 : 1;
    if (i + 1 + extra >= label.size()) return 0;
    char32_t c = next & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) c = (c << 6) | (static_cast<unsigned char>(label[i + 1 + k]) & 0x3F);
    return c;
  }
  return 0;
}

std::optional<RoomCommand> roomCommandOf(FrameCommand command) {
  switch (command) {
    case C::Open: return RoomCommand::Open;
    case C::Save: return RoomCommand::Save;
    case C::SaveAs: return RoomCommand::SaveAs;
    case C::Export: return RoomCommand::Export;
    case C::CloseRoom: return RoomCommand::Close;
    case C::NewGame: return RoomCommand::NewGame;
    case C::EndGame: return RoomCommand::EndGame;
    case C::Pass: return RoomCommand::Pass;
    case C::SwapXY: return RoomCommand::SwapXY;
    case C::FlipX: return RoomCommand::FlipX;
    case C::FlipY: return RoomCommand::FlipY;
    case C::Play: return RoomCommand::Play;
    case C::MarkDead: return RoomCommand::MarkDead;
    case C::Count: return RoomCommand::Count;
    case C::Rules: return RoomCommand::Rules;
    case C::MoveNumbers: return RoomCommand::MoveNumbers;
    case C::HintDetails: return RoomCommand::HintDetails;
    default: return std::nullopt;
  }
}

bool frameCommandEnabled(FrameCommand command, const FrameState& state) {
  if (const std::optional<RoomCommand> room = roomCommandOf(command)) return roomCommandEnabled(*room, state.activeRoom);
  switch (command) {
    case C::NewRoom: return state.openRooms < kMaxRooms;
    case C::Cascade:
    case C::TileHorizontally:
    case C::TileVertically:
    case C::ArrangeIcons:
    case C::CloseAllRooms: return state.openRooms > 0;
    case C::UpdateCustomIndex: return state.patternBases >= 2;
    default: return true;
  }
}

}  // namespace mh
