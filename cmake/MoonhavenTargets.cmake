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

# moonhaven_add_test_dir(<subsystem>): tests/<subsystem>/*_test.cpp become test_<subsystem>
# (core only), *_corpus_test.cpp become test_<subsystem>_corpus (ctest label "corpus"), and
# tests/<subsystem>/qt/*_test.cpp become test_<subsystem>_ui (linked with the Qt library, run
# with the offscreen platform).
# Every test also carries its subsystem's name as a label.
function(moonhaven_add_test_dir sub)
  set(dir "${CMAKE_SOURCE_DIR}/tests/${sub}")
  file(GLOB all CONFIGURE_DEPENDS "${dir}/*_test.cpp")
  file(GLOB corpus CONFIGURE_DEPENDS "${dir}/*_corpus_test.cpp")
  file(GLOB helpers CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/support/*.cpp")
  set(unit ${all})
  if(corpus)
    list(REMOVE_ITEM unit ${corpus})
  endif()
  if(unit)
    add_executable(test_${sub} ${unit} ${helpers})
    target_link_libraries(test_${sub} PRIVATE moonhaven_core GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(test_${sub} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(test_${sub} PRIVATE MOONHAVEN_CORPUS="${MOONHAVEN_CORPUS}"
      MOONHAVEN_BINARY_DIR="${CMAKE_BINARY_DIR}")
    gtest_discover_tests(test_${sub} DISCOVERY_TIMEOUT 60)
    moonhaven_label_tests(test_${sub} "unit;${sub}")
  endif()
  if(corpus)
    add_executable(test_${sub}_corpus ${corpus} ${helpers})
    target_link_libraries(test_${sub}_corpus PRIVATE moonhaven_core GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(test_${sub}_corpus PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(test_${sub}_corpus PRIVATE MOONHAVEN_CORPUS="${MOONHAVEN_CORPUS}"
      MOONHAVEN_BINARY_DIR="${CMAKE_BINARY_DIR}")
    gtest_discover_tests(test_${sub}_corpus DISCOVERY_TIMEOUT 60)
    moonhaven_label_tests(test_${sub}_corpus "corpus;${sub}")
  endif()
  if(MOONHAVEN_BUILD_UI)
    file(GLOB ui CONFIGURE_DEPENDS "${dir}/qt/*_test.cpp")
    if(ui)
      add_executable(test_${sub}_ui ${ui} ${helpers} ${CMAKE_SOURCE_DIR}/tests/support/qt/qt_test_main.cpp)
      target_link_libraries(test_${sub}_ui PRIVATE moonhaven_ui Qt6::Test GTest::gtest GTest::gmock)
      target_include_directories(test_${sub}_ui PRIVATE ${CMAKE_SOURCE_DIR}/tests)
      target_compile_definitions(test_${sub}_ui PRIVATE MOONHAVEN_CORPUS="${MOONHAVEN_CORPUS}"
        MOONHAVEN_BINARY_DIR="${CMAKE_BINARY_DIR}")
      gtest_discover_tests(test_${sub}_ui PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        DISCOVERY_TIMEOUT 60)
      moonhaven_label_tests(test_${sub}_ui "ui;${sub}")
    endif()
  endif()
endfunction()
