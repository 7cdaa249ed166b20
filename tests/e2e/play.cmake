# A GNU Go game as a new user would play it, read back by show.
add_test(NAME cli.playGnuGo COMMAND moonhaven-cli play --level 1 --max-moves 30 --seed 1
  --out "${CMAKE_BINARY_DIR}/cli_play_test.sgf")
set_tests_properties(cli.playGnuGo PROPERTIES FIXTURES_SETUP cliPlayedGame TIMEOUT 120
  PASS_REGULAR_EXPRESSION "1 b [A-HJ-T][0-9]+\n2 w .*\n30 w [A-HJ-T][0-9]+\nplay: stopped after 30 moves")
add_test(NAME cli.showPlayedGame COMMAND moonhaven-cli show "${CMAKE_BINARY_DIR}/cli_play_test.sgf")
set_tests_properties(cli.showPlayedGame PROPERTIES FIXTURES_REQUIRED cliPlayedGame
  PASS_REGULAR_EXPRESSION "black GNU go \\+ Moonhaven Helper\nwhite GNU go \\+ Moonhaven Helper\n.*moves 30\n")
add_test(NAME cli.playWithoutOutFails COMMAND moonhaven-cli play --black random --white random)
set_tests_properties(cli.playWithoutOutFails PROPERTIES WILL_FAIL TRUE)
add_test(NAME cli.playWithoutGnuGoFails COMMAND moonhaven-cli play --gnugo /nonexistent/gnugo
  --out "${CMAKE_BINARY_DIR}/cli_play_nothing.sgf")
set_tests_properties(cli.playWithoutGnuGoFails PROPERTIES WILL_FAIL TRUE)
set_tests_properties(cli.playGnuGo cli.showPlayedGame cli.playWithoutOutFails cli.playWithoutGnuGoFails
  PROPERTIES LABELS "e2e")
