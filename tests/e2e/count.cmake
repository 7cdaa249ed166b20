# count on finished corpus games under both rules.
add_test(NAME cli.countGames
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/e2e/count_games.sh" "$<TARGET_FILE:moonhaven-cli>" "${MOONHAVEN_CORPUS}")
set_tests_properties(cli.countGames PROPERTIES LABELS "e2e;corpus;room" TIMEOUT 60)
