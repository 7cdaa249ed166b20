# The command line's basic contract.
add_test(NAME cli.help COMMAND moonhaven-cli --help)
add_test(NAME cli.version COMMAND moonhaven-cli --version)
set_tests_properties(cli.version PROPERTIES PASS_REGULAR_EXPRESSION "moonhaven-cli 2\\.2")
add_test(NAME cli.unknownCommandFails COMMAND moonhaven-cli no-such-command)
set_tests_properties(cli.unknownCommandFails PROPERTIES WILL_FAIL TRUE)
set_tests_properties(cli.help cli.version cli.unknownCommandFails PROPERTIES LABELS "e2e")
