# build, games and show on a collection of unreadable, odd and oversized entries.
add_test(NAME cli.hostileCollection
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/e2e/hostile_collection.sh" "$<TARGET_FILE:moonhaven-cli>")
set_tests_properties(cli.hostileCollection PROPERTIES LABELS "e2e" TIMEOUT 600)
