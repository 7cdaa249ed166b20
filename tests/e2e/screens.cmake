# The real desktop program under Xvfb: every top-level menu and the settings, play, rules and about
# dialogs open from the keyboard; their pictures are kept under the build folder (screens/).
if(MOONHAVEN_BUILD_UI)
  add_test(NAME desktop.screens
    COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/screens.sh" "${CMAKE_BINARY_DIR}")
  set_tests_properties(desktop.screens PROPERTIES LABELS "e2e;ui" TIMEOUT 180)
endif()
