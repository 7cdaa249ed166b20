# The real desktop program under Xvfb: every top-level menu and the settings, play, rules and about
# dialogs open from the keyboard; their pictures are kept under the build folder (screens/).
if(MOONHAVEN_BUILD_UI)
  # One run per interface language: English (no lang.ini), Simplified and Traditional Chinese.
  foreach(run "en;" "zh_CN;10001" "zh_TW;10002")
    list(GET run 0 name)
    list(GET run 1 lang)
    add_test(NAME desktop.screens.${name}
      COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/screens.sh" "${CMAKE_BINARY_DIR}" "${CMAKE_BINARY_DIR}/screens/${name}" ${lang})
    set_tests_properties(desktop.screens.${name} PROPERTIES LABELS "e2e;ui;translations" TIMEOUT 180)
  endforeach()
endif()
