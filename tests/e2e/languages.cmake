# The desktop program started in each interface language.
if(MOONHAVEN_BUILD_UI)
  add_test(NAME desktop.startsInEachLanguage
    COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/e2e/languages.sh" "$<TARGET_FILE:moonhaven>" "${CMAKE_BINARY_DIR}/e2e_languages")
  set_tests_properties(desktop.startsInEachLanguage PROPERTIES LABELS "e2e;ui;translations" TIMEOUT 180)
endif()
