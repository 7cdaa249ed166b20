# Source layout rule: src/<subsystem>/*.cpp is the Qt-free core; src/<subsystem>/qt/*.cpp is the
# Qt side. The core is compiled without Qt on its include path, so a Qt include there fails.
set(MOONHAVEN_SUBSYSTEMS model records engine shapes patterns process room shell library_windows platform)

function(moonhaven_collect_sources out_core out_ui)
  set(core "")
  set(ui "")
  foreach(sub IN LISTS MOONHAVEN_SUBSYSTEMS)
    file(GLOB c CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/src/${sub}/*.cpp")
    file(GLOB u CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/src/${sub}/qt/*.cpp" "${CMAKE_SOURCE_DIR}/src/${sub}/qt/*.h")
    list(APPEND core ${c})
    list(APPEND ui ${u})
  endforeach()
  set(${out_core} ${core} PARENT_SCOPE)
  set(${out_ui} ${ui} PARENT_SCOPE)
endfunction()

# moonhaven_label_tests(<target> <labels>): gives every test discovered in <target> the labels
# (a list). gtest_discover_tests flattens a list-valued LABELS property into separate arguments,
# so the labels are set by a ctest include file that runs after the discovered tests are known.
function(moonhaven_label_tests target labels)
  set(file "${CMAKE_CURRENT_BINARY_DIR}/${target}_labels.cmake")
  file(WRITE "${file}" "foreach(t IN LISTS ${target}_TESTS)\n"
    "  set_tests_properties(\"\${t}\" PROPERTIES LABELS \"${labels}\")\n"
    "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${file}")
endfunction()

# moonhaven_test_support: the shared helpers of tests/support, compiled once for every test.
function(moonhaven_add_test_support)
  file(GLOB helpers CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/support/*.cpp")
  add_library(moonhaven_test_support STATIC ${helpers})
  target_link_libraries(moonhaven_test_support PUBLIC moonhaven_core GTest::gtest GTest::gmock)
  target_include_directories(moonhaven_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(moonhaven_test_support PUBLIC MOONHAVEN_CORPUS="${MOONHAVEN_CORPUS}"
    MOONHAVEN_BINARY_DIR="${CMAKE_BINARY_DIR}")
endfunction()

# One test executable: its sources, extra libraries, ctest labels and extra discovery properties.
function(moonhaven_test_executable target sources libraries labels)
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE moonhaven_test_support ${libraries})
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 ${ARGN})
  moonhaven_label_tests(${target} "${labels}")
endfunction()

# moonhaven_add_test_dir(<subsystem>): tests/<subsystem>/*_test.cpp become test_<subsystem>
# (core only), *_corpus_test.cpp become test_<subsystem>_corpus (ctest label "corpus"), and
# tests/<subsystem>/qt/*_test.cpp become test_<subsystem>_ui (linked with the Qt library, run
# with the offscreen platform). Every test also carries its subsystem's name as a label.
function(moonhaven_add_test_dir sub)
  set(dir "${CMAKE_SOURCE_DIR}/tests/${sub}")
  file(GLOB all CONFIGURE_DEPENDS "${dir}/*_test.cpp")
  file(GLOB corpus CONFIGURE_DEPENDS "${dir}/*_corpus_test.cpp")
  set(unit ${all})
  if(corpus)
    list(REMOVE_ITEM unit ${corpus})
  endif()
  if(unit)
    moonhaven_test_executable(test_${sub} "${unit}" GTest::gtest_main "unit;${sub}")
  endif()
  if(corpus)
    moonhaven_test_executable(test_${sub}_corpus "${corpus}" GTest::gtest_main "corpus;${sub}")
  endif()
  if(MOONHAVEN_BUILD_UI)
    file(GLOB ui CONFIGURE_DEPENDS "${dir}/qt/*_test.cpp")
    if(ui)
      moonhaven_test_executable(test_${sub}_ui "${ui};${CMAKE_SOURCE_DIR}/tests/support/qt/qt_test_main.cpp"
        "moonhaven_ui;Qt6::Test" "ui;${sub}" PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
  endif()
endfunction()
