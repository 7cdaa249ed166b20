# The real desktop program under Xvfb: a click on room 100's centre point lays a black stone.
if(MOONHAVEN_BUILD_UI)
  add_test(NAME desktop.clickLaysABlackStone
    COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/e2e/desktop_click.sh" "$<TARGET_FILE:moonhaven>"
            "${CMAKE_BINARY_DIR}/e2e_desktop")
  set_tests_properties(desktop.clickLaysABlackStone PROPERTIES LABELS "e2e;ui" TIMEOUT 240)
endif()
