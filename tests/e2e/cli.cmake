# The command line's basic contract.
add_test(NAME cli.help COMMAND moonhaven-cli --help)
add_test(NAME cli.version COMMAND moonhaven-cli --version)
set_tests_properties(cli.version PROPERTIES PASS_REGULAR_EXPRESSION "moonhaven-cli 2\\.2")
set_tests_properties(cli.help cli.version PROPERTIES LABELS "e2e")

# Every command answers --help, and refuses an unknown option or a malformed value with one
# error text and exit status 2.
set(cli_status "; echo \"exit $?\"")
# Each command with the arguments it requires, so that the unknown option is the only fault.
set(cli_commands "bases add --title t --records r" "build" "convert a.sgf b.sgf" "count x.sgf --rule chinese --komi 7" "engine x.sgf" "games"
  "hints --empty" "matrix --empty" "paths" "play --out x.sgf" "show x.sgf")
foreach(line IN LISTS cli_commands)
  string(REGEX MATCH "^[a-z]+" command "${line}")
  add_test(NAME cli.${command}.help COMMAND moonhaven-cli ${command} --help)
  set_tests_properties(cli.${command}.help PROPERTIES PASS_REGULAR_EXPRESSION "Usage: moonhaven-cli ${command} ")
  add_test(NAME cli.${command}.unknownOption
    COMMAND sh -c "\"$0\" ${line} --no-such-option${cli_status}" $<TARGET_FILE:moonhaven-cli>)
  set_tests_properties(cli.${command}.unknownOption PROPERTIES PASS_REGULAR_EXPRESSION
    "^moonhaven-cli ${command}: The following argument was not expected: --no-such-option\nRun 'moonhaven-cli ${command} --help' for more information.\nexit 2\n$")
  set_tests_properties(cli.${command}.help cli.${command}.unknownOption PROPERTIES LABELS "e2e")
endforeach()
set(cli_malformed
  "show x.sgf --move ten|--move"
  "hints --empty --side x|--side"
  "matrix --empty --move|--move"
  "build --stop-after -3|--stop-after"
  "games --base many|--base"
  "play --out x.sgf --black human|--black"
  "convert only-one.sgf|OUT"
  "count x.sgf --rule chinese --komi 6,5|--komi"
  "engine x.sgf --seed s|--seed"
  "bases remove first|number")
foreach(row IN LISTS cli_malformed)
  string(REPLACE "|" ";" parts "${row}")
  list(GET parts 0 line)
  list(GET parts 1 named)
  string(REGEX MATCH "^[a-z]+" command "${line}")
  add_test(NAME "cli.${command}.malformed" COMMAND sh -c "\"$0\" ${line}${cli_status}" $<TARGET_FILE:moonhaven-cli>)
  set_tests_properties("cli.${command}.malformed" PROPERTIES LABELS "e2e" PASS_REGULAR_EXPRESSION
    "^moonhaven-cli ${command}: [^\n]*${named}[^\n]*\nRun 'moonhaven-cli ${command} --help' for more information.\nexit 2\n$")
endforeach()
add_test(NAME cli.unknownCommand COMMAND sh -c "\"$0\" no-such-command${cli_status}" $<TARGET_FILE:moonhaven-cli>)
set_tests_properties(cli.unknownCommand PROPERTIES LABELS "e2e" PASS_REGULAR_EXPRESSION
  "^moonhaven-cli: unknown command 'no-such-command'\nRun 'moonhaven-cli --help' for more information.\nexit 2\n$")

# bases add refuses a record folder it cannot make a pattern base of, with a message naming the
# fault and exit status 1, and writes no WPBs.ini. Each row: test name|records folder|message.
set(cli_bases_refused
  "missingFolder|/no/such/folder|the record folder does not exist: /no/such/folder"
  "folderWithoutRecords|%EMPTY%|the record folder holds no game record \\(.sgf or .gib file\\): ")
foreach(row IN LISTS cli_bases_refused)
  string(REPLACE "|" ";" parts "${row}")
  list(GET parts 0 name)
  list(GET parts 1 folder)
  list(GET parts 2 message)
  set(name "cli.bases.${name}")
  add_test(NAME ${name} COMMAND sh -c "h=$(mktemp -d) && mkdir \"$h/empty\" && f=\"$(printf '%s' \"$1\" | sed \"s|%EMPTY%|$h/empty|\")\" && \
\"$0\" bases add --home \"$h\" --title t --records \"$f\"; echo \"exit $?\"; ls \"$h\"; rm -r \"$h\"" $<TARGET_FILE:moonhaven-cli> "${folder}")
  set_tests_properties(${name} PROPERTIES LABELS "e2e" PASS_REGULAR_EXPRESSION "^bases add: ${message}[^\n]*\nexit 1\nempty\n$")
endforeach()
