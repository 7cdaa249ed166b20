# The program's texts in English and Traditional Chinese. Their source language is Simplified
# Chinese (the tr() texts in src/ and apps/); translations/*.ts in the repository hold the other two
# languages and are compiled to .qm at build time into translations/ beside the executables, where
# the program looks first (shell/qt/ui_language.h); an install copies them to share/moonhaven/.
#
#   cmake --build --preset default --target update_translations
# refreshes the .ts files from the sources (new texts arrive unfinished; the translations test
# fails until they are translated).
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

set(MOONHAVEN_TS_FILES
  "${PROJECT_SOURCE_DIR}/translations/moonhaven_en.ts"
  "${PROJECT_SOURCE_DIR}/translations/moonhaven_zh_TW.ts")
set(MOONHAVEN_QM_DIR "${MOONHAVEN_RUNTIME_DIR}/translations")

set(qm_files "")
foreach(ts IN LISTS MOONHAVEN_TS_FILES)
  get_filename_component(name "${ts}" NAME_WE)
  set(qm "${MOONHAVEN_QM_DIR}/${name}.qm")
  add_custom_command(
    OUTPUT "${qm}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${MOONHAVEN_QM_DIR}"
    COMMAND Qt6::lrelease -silent "${ts}" -qm "${qm}"
    DEPENDS "${ts}"
    COMMENT "Compiling ${name}.ts"
    VERBATIM)
  list(APPEND qm_files "${qm}")
endforeach()
add_custom_target(moonhaven_translations ALL DEPENDS ${qm_files})
if(TARGET moonhaven)
  add_dependencies(moonhaven moonhaven_translations)
endif()

# The lupdate run the translations test repeats into a scratch file: the same folders and options.
set(MOONHAVEN_LUPDATE_ARGS -silent -locations none -no-obsolete -source-language zh_CN
  "${PROJECT_SOURCE_DIR}/src" "${PROJECT_SOURCE_DIR}/apps")
add_custom_target(update_translations
  COMMAND Qt6::lupdate ${MOONHAVEN_LUPDATE_ARGS} -ts ${MOONHAVEN_TS_FILES}
  WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
  COMMENT "Refreshing translations/*.ts from the sources"
  VERBATIM)
