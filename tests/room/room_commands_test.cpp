#include "room/room_commands.h"

#include <gtest/gtest.h>

namespace mh {
namespace {

TEST(RoomCommands, EnablingFollowsTheRoomAndItsGame) {
  const RoomCommandState none{}, idle{true, false, true}, waiting{true, true, true, true}, busy{true, true, false};
  const struct {
    RoomCommand command;
    bool noRoom, ended, personToMove, gnuGoPlaying;
  } table[] = {
      {RoomCommand::NewGame, false, true, true, true},  {RoomCommand::EndGame, false, false, true, true},
      {RoomCommand::Pass, false, false, true, false},   {RoomCommand::Play, false, true, true, true},     {RoomCommand::Open, false, true, true, true},
      {RoomCommand::Save, false, true, true, true},     {RoomCommand::Export, false, true, true, true},
      {RoomCommand::SwapXY, false, true, true, false},  {RoomCommand::FlipY, false, true, true, false},
      {RoomCommand::MoveNumbers, false, true, true, true}, {RoomCommand::HintDetails, false, true, true, true},
      {RoomCommand::LibraryChoice, false, true, true, true}, {RoomCommand::Close, false, true, true, true},
      {RoomCommand::MarkDead, false, true, true, true},  {RoomCommand::Count, false, true, true, false},
      {RoomCommand::Rules, false, true, true, true},
  };
  for (const auto& t : table) {
    SCOPED_TRACE(static_cast<int>(t.command));
    EXPECT_EQ(roomCommandEnabled(t.command, none), t.noRoom);
    EXPECT_EQ(roomCommandEnabled(t.command, idle), t.ended);
    EXPECT_EQ(roomCommandEnabled(t.command, waiting), t.personToMove);
    EXPECT_EQ(roomCommandEnabled(t.command, busy), t.gnuGoPlaying);
  }
}

}  // namespace
}  // namespace mh
