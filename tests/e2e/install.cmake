# The installed programs, run from a temporary prefix with a fresh user's home.
if(MOONHAVEN_BUILD_UI)
  add_test(NAME install.installedProgramsRun
    COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/e2e/installed_programs.sh" "${CMAKE_COMMAND}" "${PROJECT_BINARY_DIR}" "${MOONHAVEN_CORPUS}")
  set_tests_properties(install.installedProgramsRun PROPERTIES LABELS "e2e;corpus;install" TIMEOUT 300)
endif()
