# moonhaven-cli engine explains a position; play sets the engine against the random player.
add_test(NAME cli.engineExplains COMMAND moonhaven-cli engine "${CMAKE_CURRENT_SOURCE_DIR}/data/engine_position.sgf"
  --move 12 --seed 1 --home "${CMAKE_BINARY_DIR}/no-such-home")
set_tests_properties(cli.engineExplains PROPERTIES LABELS "e2e;engine"
  PASS_REGULAR_EXPRESSION "^candidates( [a-s][a-s])+\n(score [a-s][a-s] -?[0-9.]+ -?[0-9.]+\n)+choice [a-s][a-s]\n(string [a-s][a-s] [bw] [0-9]+ [0-9]+ capture [01] ([a-s][a-s]|-) escape [01] ([a-s][a-s]|-) eye -?[0-9.]+\n)+$")
add_test(NAME cli.engineNamesAMissingBase COMMAND moonhaven-cli engine "${CMAKE_CURRENT_SOURCE_DIR}/data/engine_position.sgf"
  --home "${CMAKE_BINARY_DIR}/no-such-home" --base 3)
set_tests_properties(cli.engineNamesAMissingBase PROPERTIES LABELS "e2e;engine" WILL_FAIL TRUE)
add_test(NAME cli.playEngineAgainstRandom COMMAND moonhaven-cli play --black random --white engine --seed 2
  --home "${CMAKE_BINARY_DIR}/no-such-home" --out "${CMAKE_BINARY_DIR}/cli_engine_game.sgf")
set_tests_properties(cli.playEngineAgainstRandom PROPERTIES LABELS "e2e;engine" TIMEOUT 120
  PASS_REGULAR_EXPRESSION "play: game over after [0-9]+ moves")
