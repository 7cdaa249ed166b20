# show and convert on real records.
add_test(NAME cli.showRecord COMMAND moonhaven-cli show "${MOONHAVEN_CORPUS}/tygem-gb/25/253550034.sgf" --move 50)
set_tests_properties(cli.showRecord PROPERTIES
  PASS_REGULAR_EXPRESSION "black 她的睫毛 9段\nwhite richkugo 9段\nresult 2 W\\+Resign\n.*position 50 of 86\nto-move b\n")
add_test(NAME cli.showUnknownFormatFails COMMAND moonhaven-cli show "${CMAKE_SOURCE_DIR}/README.md")
set_tests_properties(cli.showUnknownFormatFails PROPERTIES WILL_FAIL TRUE)
add_test(NAME cli.convertRecord COMMAND moonhaven-cli convert "${MOONHAVEN_CORPUS}/tygem-big5/25/253962078.sgf"
  "${CMAKE_BINARY_DIR}/cli_convert_test.sgf" --big5)
set_tests_properties(cli.showRecord cli.showUnknownFormatFails cli.convertRecord PROPERTIES LABELS "e2e")
# A record that does not parse: the user's message, then where and why the reader stopped.
file(WRITE "${CMAKE_BINARY_DIR}/cli_broken.sgf" "(;GM[1]\n;B[aa]c[dd])")
add_test(NAME cli.showBrokenRecordSaysWhere COMMAND sh -c "\"$0\" show \"$1\"; echo \"exit $?\""
  $<TARGET_FILE:moonhaven-cli> "${CMAKE_BINARY_DIR}/cli_broken.sgf")
set_tests_properties(cli.showBrokenRecordSaysWhere PROPERTIES LABELS "e2e" PASS_REGULAR_EXPRESSION
  "读sgf文件失败!\n[^\n]*cli_broken.sgf: line 2, column 7 \\(byte 14\\): found 'c' where a property, ';', '\\(' or '\\)' belongs\nexit 1\n")
# A collection of three game trees: listed, each picked by --tree for show, convert and count,
# and written as UTF-8 or as GB that says so.
file(WRITE "${CMAKE_BINARY_DIR}/cli_three.sgf"
  "(;PB[李昌镐]PW[聂卫平]RE[B+R];B[pd];W[dp])\n(;PB[Lee]BR[9d]PW[Park]RE[W+3.5];B[aa])\n(;SZ[99])\n")
set(cli_three "${CMAKE_BINARY_DIR}/cli_three.sgf")
add_test(NAME cli.showListsTheTrees COMMAND moonhaven-cli show --list "${cli_three}")
set_tests_properties(cli.showListsTheTrees PROPERTIES PASS_REGULAR_EXPRESSION
  "^1: black 李昌镐, white 聂卫平, result B\\+R, moves 2\n2: black Lee 9d, white Park, result W\\+3.5, moves 1\n3: not a game record\n$")
add_test(NAME cli.showPicksATree COMMAND moonhaven-cli show "${cli_three}" --tree 2)
set_tests_properties(cli.showPicksATree PROPERTIES PASS_REGULAR_EXPRESSION "black Lee 9d\nwhite Park\nresult 2 W\\+3.5\n")
add_test(NAME cli.showNoSuchTree COMMAND sh -c "\"$0\" show \"$1\" --tree 4; echo \"exit $?\""
  $<TARGET_FILE:moonhaven-cli> "${cli_three}")
set_tests_properties(cli.showNoSuchTree PROPERTIES PASS_REGULAR_EXPRESSION
  "读sgf文件失败!\n[^\n]*cli_three.sgf: the file holds 3 game trees; there is no tree 4\nexit 1\n")
add_test(NAME cli.showListExcludesMove COMMAND moonhaven-cli show --list "${cli_three}" --move 1)
set_tests_properties(cli.showListExcludesMove PROPERTIES WILL_FAIL TRUE)
add_test(NAME cli.convertTreeAsUtf8 COMMAND sh -c "\"$0\" convert \"$1\" \"$2\" --tree 1 --utf8 && cat \"$2\""
  $<TARGET_FILE:moonhaven-cli> "${cli_three}" "${CMAKE_BINARY_DIR}/cli_three_utf8.sgf")
set_tests_properties(cli.convertTreeAsUtf8 PROPERTIES PASS_REGULAR_EXPRESSION
  "^\\(;CA\\[UTF-8\\]PB\\[李昌镐\\]PW\\[聂卫平\\]RE\\[B\\+\\]SZ\\[19\\];B\\[pd\\];W\\[dp\\]\\)$")
add_test(NAME cli.convertWritesGbThatSaysSo COMMAND sh -c "\"$0\" convert \"$1\" \"$2\" && \"$0\" show \"$2\" --big5 && head -c 13 \"$2\""
  $<TARGET_FILE:moonhaven-cli> "${cli_three}" "${CMAKE_BINARY_DIR}/cli_three_gb.sgf")
set_tests_properties(cli.convertWritesGbThatSaysSo PROPERTIES PASS_REGULAR_EXPRESSION
  "black 李昌镐\nwhite 聂卫平\n.*\\(;CA\\[GBK\\]PB\\[")
add_test(NAME cli.countPicksATree COMMAND moonhaven-cli count "${cli_three}" --tree 2 --rule chinese --komi 6.5)
set_tests_properties(cli.countPicksATree PROPERTIES PASS_REGULAR_EXPRESSION "winner [bw]\n")
set_tests_properties(cli.showListsTheTrees cli.showPicksATree cli.showNoSuchTree cli.showListExcludesMove
  cli.convertTreeAsUtf8 cli.convertWritesGbThatSaysSo cli.countPicksATree PROPERTIES LABELS "e2e;records")
