# The dependency order of the code, from the bottom up: "<layer>: <the layers it builds on>".
# A layer's code may include its own headers and those of every layer it reaches through these
# lists, and nothing else; each entry names only layers listed above it, so the order has no
# cycle. The sources of src/<layer>/ (a folder inside a subsystem's, such as "room/qt", is a layer
# of its own) become the static library moonhaven_<layer> ("/" as "_") that links the layers it
# builds on; "Qt" stands for the Qt libraries and "QtGui" for Qt Gui alone (painting, no widgets),
# so only the layers built on them and the desktop program may include Qt; "apps/<name>" is the
# executable of that folder. tests/layering checks every #include of src/ and apps/ against this
# table and fails naming the file and line.
set(MOONHAVEN_LAYERS
  "platform:"
  "model: platform"
  "records: model"
  "shapes: model"
  "patterns: records shapes"
  "engine: patterns"
  "process: patterns"
  "room: engine process"
  "library_windows: room"
  "shell: library_windows"
  "QtGui:"
  "Qt: QtGui"
  "room/paint: room QtGui"
  "room/qt: room room/paint Qt"
  "library_windows/qt: library_windows room/qt"
  "shell/qt: shell library_windows/qt"
  "apps/moonhaven-cli: shell room/paint"
  "apps/moonhaven-engine: engine process"
  "apps/moonhaven: shell/qt"
)
# moonhaven_core gathers every Qt-free layer (the top one reaches them all) for the benchmarks,
# the fuzz targets and the tests; moonhaven_ui gathers the Qt layers.
set(MOONHAVEN_CORE_TOP shell)
set(MOONHAVEN_UI_TOP shell/qt)

# The subsystems: the folders of src/ (each with its tests in tests/<subsystem>/).
set(MOONHAVEN_SUBSYSTEMS "")
foreach(entry IN LISTS MOONHAVEN_LAYERS)
  if(entry MATCHES "^([a-z_]+):")
    list(APPEND MOONHAVEN_SUBSYSTEMS ${CMAKE_MATCH_1})
  endif()
endforeach()

# The CMake targets that stand for a layer name.
function(moonhaven_layer_targets out layer)
  if(layer STREQUAL "Qt")
    set(${out} Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Multimedia PARENT_SCOPE)
  elseif(layer STREQUAL "QtGui")
    set(${out} Qt6::Core Qt6::Gui Qt6::Svg PARENT_SCOPE)
  else()
    string(REPLACE "/" "_" name "${layer}")
    set(${out} moonhaven_${name} PARENT_SCOPE)
  endif()
endfunction()

# The layers an entry of MOONHAVEN_LAYERS builds on, as targets; empty when it has no entry.
function(moonhaven_layer_links out layer)
  set(links "")
  foreach(entry IN LISTS MOONHAVEN_LAYERS)
    if(entry MATCHES "^([^:]+):(.*)$" AND CMAKE_MATCH_1 STREQUAL layer)
      string(STRIP "${CMAKE_MATCH_2}" below)
      separate_arguments(below UNIX_COMMAND "${below}")
      foreach(b IN LISTS below)
        moonhaven_layer_targets(t "${b}")
        list(APPEND links ${t})
      endforeach()
    endif()
  endforeach()
  set(${out} ${links} PARENT_SCOPE)
endfunction()

# One library per layer of src/: static when its folder has sources (a new .cpp is picked up when
# the build runs), else an interface library, so that layers above may name it either way. A layer
# built on Qt or Qt Gui, directly or through a lower layer, is built only with MOONHAVEN_BUILD_UI.
# Also writes the table for the layering test.
function(moonhaven_add_layer_libraries)
  set(table "")
  set(qt_layers Qt QtGui)
  foreach(entry IN LISTS MOONHAVEN_LAYERS)
    string(APPEND table "${entry}\n")
    string(REGEX MATCH "^[^:]+" layer "${entry}")
    if(layer STREQUAL "Qt" OR layer STREQUAL "QtGui" OR layer MATCHES "^apps/")
      continue()
    endif()
    string(REGEX REPLACE "^[^:]+:" "" below "${entry}")
    separate_arguments(below UNIX_COMMAND "${below}")
    set(qt FALSE)
    foreach(b IN LISTS below)
      if(b IN_LIST qt_layers)
        set(qt TRUE)
      endif()
    endforeach()
    if(qt)
      list(APPEND qt_layers "${layer}")
      if(NOT MOONHAVEN_BUILD_UI)
        continue()
      endif()
    endif()
    moonhaven_layer_targets(target "${layer}")
    moonhaven_layer_links(links "${layer}")
    # A subsystem's own folder, without the folders inside it (layers of their own); such a folder
    # with everything below it.
    if(layer MATCHES "/")
      file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/src/${layer}/*.cpp")
    else()
      file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/src/${layer}/*.cpp")
    endif()
    if(qt)
      file(GLOB_RECURSE headers CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/src/${layer}/*.h")
      list(APPEND sources ${headers})
    endif()
    if(sources)
      add_library(${target} STATIC ${sources})
      target_link_libraries(${target} PUBLIC ${links})
      if(qt)
        set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
      endif()
    else()
      add_library(${target} INTERFACE)
      target_link_libraries(${target} INTERFACE ${links})
    endif()
  endforeach()
  file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/layers.txt" CONTENT "${table}")
endfunction()

# Links an executable of apps/ with the layers its entry in MOONHAVEN_LAYERS builds on.
# Layers that are not built (those on Qt without MOONHAVEN_BUILD_UI) are left out.
function(moonhaven_link_app target folder)
  moonhaven_layer_links(links "apps/${folder}")
  if(NOT links)
    message(FATAL_ERROR "apps/${folder} has no entry in MOONHAVEN_LAYERS")
  endif()
  set(built "")
  foreach(l IN LISTS links)
    if(TARGET ${l})
      list(APPEND built ${l})
    endif()
  endforeach()
  target_link_libraries(${target} PRIVATE ${built})
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
  target_link_libraries(moonhaven_test_support PUBLIC moonhaven_core GTest::gtest GTest::gmock PRIVATE ICU::uc)
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
# (linked with the subsystem's library), *_corpus_test.cpp become test_<subsystem>_corpus (ctest
# label "corpus"), and tests/<subsystem>/qt/*_test.cpp become test_<subsystem>_ui (linked with
# the subsystem's Qt library, run with the offscreen platform). Every test also carries its
# subsystem's name as a label.
function(moonhaven_add_test_dir sub)
  set(dir "${CMAKE_SOURCE_DIR}/tests/${sub}")
  file(GLOB all CONFIGURE_DEPENDS "${dir}/*_test.cpp")
  file(GLOB corpus CONFIGURE_DEPENDS "${dir}/*_corpus_test.cpp")
  set(unit ${all})
  if(corpus)
    list(REMOVE_ITEM unit ${corpus})
  endif()
  if(unit)
    moonhaven_test_executable(test_${sub} "${unit}" "moonhaven_${sub};GTest::gtest_main" "unit;${sub}")
  endif()
  if(corpus)
    moonhaven_test_executable(test_${sub}_corpus "${corpus}" "moonhaven_${sub};GTest::gtest_main" "corpus;${sub}")
  endif()
  if(MOONHAVEN_BUILD_UI)
    file(GLOB ui CONFIGURE_DEPENDS "${dir}/qt/*_test.cpp")
    if(ui)
      moonhaven_test_executable(test_${sub}_ui "${ui};${CMAKE_SOURCE_DIR}/tests/support/qt/qt_test_main.cpp"
        "moonhaven_${sub}_qt;Qt6::Test" "ui;${sub}" PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
  endif()
endfunction()
