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
