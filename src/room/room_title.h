#pragma once

#include <string>
#include <vector>

#include "model/game_info.h"

namespace mh {

// The words of a room's title in the interface language (UTF-8).
struct RoomTitleWords {
  std::string room = "%1棋室";  // a room's name, %1 standing for its number
  std::string noFile = "无名文件";
  std::string noInfo = "无比赛信息";
  std::string moves = "手数";
  std::string black = "黑";
  std::string white = "白";
  std::string result = "结果";
};

// "<room name>( <file> -- <players> -- <moves>:<move number> )" in UTF-8: the file's name
// ("无名文件" without a file), the players "B BR(黑) VS W WR(白)(结果: RE)" from the game information
// ("无比赛信息" when it has no names and no result), shown through the BIG5 conversion when
// displayInBig5 holds, and the number of the shown position.
std::string roomTitle(int roomNumber, const std::string& filePath, const GameInfo& info, int moveNumber,
                      bool displayInBig5, const RoomTitleWords& words = {});

// The record's game information for the information box, one line each for what it holds: the
// game's name, "黑: name rank", "白: name rank" and "结果: result" (lines joined by "\r\n", texts
// through the BIG5 conversion when displayInBig5 holds); empty when it holds none of them.
std::string gameInfoText(const GameInfo& info, bool displayInBig5, const RoomTitleWords& words = {});

// The room's tab text: the room's name with its number in place of %1 ("104棋室"; a name
// without %1 gets the number in front).
std::string roomTabText(int roomNumber, const RoomTitleWords& words = {});

// The number of a new room: one more than the highest open one, and 100 with none (or only
// numbers below 100) open.
int nextRoomNumber(const std::vector<int>& openRooms);

}  // namespace mh
