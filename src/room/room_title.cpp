#include "room/room_title.h"

#include <algorithm>

#include "platform/text_codec.h"

namespace mh {

namespace {

std::string fileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return text::fileNameToUtf8(slash == std::string::npos ? path : path.substr(slash + 1));
}

std::string playersText(const GameInfo& info, bool big5, const RoomTitleWords& words) {
  if (info.blackName().empty() && info.whiteName().empty() && info.resultText().empty()) return words.noInfo;
  const auto shown = [big5](const std::string& gb) { return text::displayText(gb, big5); };
  return shown(info.blackName()) + " " + shown(info.blackRank()) + "(" + words.black + ") VS " +
         shown(info.whiteName()) + " " + shown(info.whiteRank()) + "(" + words.white + ")(" + words.result + ": " +
         shown(info.resultText()) + ")";
}

}  // namespace

std::string roomTitle(int roomNumber, const std::string& filePath, const GameInfo& info, int moveNumber,
                      bool displayInBig5, const RoomTitleWords& words) {
  const std::string file = filePath.empty() ? words.noFile : fileNameOf(filePath);
  return roomTabText(roomNumber, words) + "( " + file + " -- " + playersText(info, displayInBig5, words) + " -- " +
         words.moves + ":" + std::to_string(moveNumber) + " )";
}

std::string gameInfoText(const GameInfo& info, bool displayInBig5, const RoomTitleWords& words) {
  std::string out;
  const auto line = [&](const std::string& label, const std::string& first, const std::string& second = {}) {
    if (first.empty() && second.empty()) return;
    if (!out.empty()) out += "\r\n";
    if (!label.empty()) out += label + ": ";
    out += text::displayText(first, displayInBig5);
    if (!first.empty() && !second.empty()) out += " ";
    out += text::displayText(second, displayInBig5);
  };
  line({}, info.gameName());
  line(words.black, info.blackName(), info.blackRank());
  line(words.white, info.whiteName(), info.whiteRank());
  line(words.result, info.resultText());
  return out;
}

std::string roomTabText(int roomNumber, const RoomTitleWords& words) {
  std::string name = words.room;
  const size_t at = name.find("%1");
  if (at == std::string::npos) return std::to_string(roomNumber) + name;
  return name.replace(at, 2, std::to_string(roomNumber));
}

int nextRoomNumber(const std::vector<int>& openRooms) {
  int highest = 99;
  for (int n : openRooms) highest = std::max(highest, n);
  return highest + 1;
}

}  // namespace mh
