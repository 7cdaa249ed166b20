# build and games on a copy of corpus folders, run as a new user would.
add_test(NAME cli.buildAndGames
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/e2e/build_and_games.sh" "$<TARGET_FILE:moonhaven-cli>" "${MOONHAVEN_CORPUS}")
set_tests_properties(cli.buildAndGames PROPERTIES LABELS "e2e;corpus" TIMEOUT 300)
