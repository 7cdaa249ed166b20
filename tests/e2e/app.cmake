# The desktop program starts and shows its window.
if(MOONHAVEN_BUILD_UI)
  add_test(NAME app.startsAndShowsWindow COMMAND moonhaven)
  set_tests_properties(app.startsAndShowsWindow PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;MOONHAVEN_SMOKE_TEST=1"
    PASS_REGULAR_EXPRESSION "shown: Moonhaven\\(Stonelark\\)2\\.2"
    TIMEOUT 60 LABELS "e2e;ui")
endif()
