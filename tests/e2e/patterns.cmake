# build and games on a copy of corpus folders, run as a new user would.
add_test(NAME cli.buildAndGames
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/e2e/build_and_games.sh" "$<TARGET_FILE:moonhaven-cli>" "${MOONHAVEN_CORPUS}")
set_tests_properties(cli.buildAndGames PROPERTIES LABELS "e2e;corpus" TIMEOUT 300)

# Builds killed at random moments, each continued, end equal to an uninterrupted build.
add_test(NAME cli.killedBuilds
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/e2e/killed_builds.sh" "$<TARGET_FILE:moonhaven-cli>" "${MOONHAVEN_CORPUS}")
set_tests_properties(cli.killedBuilds PROPERTIES LABELS "e2e;corpus" TIMEOUT 600)

# The same with warehouses split into 1 MiB volumes: killed builds of a split base resume to the
# bytes of an unsplit, uninterrupted build.
add_test(NAME cli.killedSplitBuilds
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/e2e/killed_builds.sh" "$<TARGET_FILE:moonhaven-cli>" "${MOONHAVEN_CORPUS}" 8
          --volume-mib 1)
set_tests_properties(cli.killedSplitBuilds PROPERTIES LABELS "e2e;corpus" TIMEOUT 600)
