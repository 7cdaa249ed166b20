# Matrix patterns: a corner pattern on the empty board marks all four corners' points.
add_test(NAME cli.matrixEmptyBoard COMMAND moonhaven-cli matrix --corner "${CMAKE_CURRENT_SOURCE_DIR}/data/corner33.txt" --empty)
set_tests_properties(cli.matrixEmptyBoard PROPERTIES
  PASS_REGULAR_EXPRESSION "^star cc\nstar qc\nstar cq\nstar qq\n$")
add_test(NAME cli.matrixMissingFileFails COMMAND moonhaven-cli matrix --corner "${CMAKE_CURRENT_SOURCE_DIR}/data/none.txt" --empty)
set_tests_properties(cli.matrixMissingFileFails PROPERTIES WILL_FAIL TRUE)
set_tests_properties(cli.matrixEmptyBoard cli.matrixMissingFileFails PROPERTIES LABELS "e2e")
