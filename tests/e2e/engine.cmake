# moonhaven-engine: a scripted GTP session against its recorded replies and a whole game by genmove.
add_test(NAME engine.gtpSession
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/e2e/gtp_engine.sh" "$<TARGET_FILE:moonhaven-engine>"
  "${CMAKE_CURRENT_SOURCE_DIR}/data/gtp_session.txt" "${CMAKE_CURRENT_SOURCE_DIR}/data/gtp_session.expected")
set_tests_properties(engine.gtpSession PROPERTIES LABELS "e2e;engine" TIMEOUT 300)
# Bad start options are refused with the usage, never ignored.
add_test(NAME engine.badOption COMMAND moonhaven-engine --mode ascii)
set_tests_properties(engine.badOption PROPERTIES LABELS "e2e;engine" WILL_FAIL TRUE)
