# What `cmake --install` puts where, and the Debian package made from it (`cpack -G DEB`).
#   bin/                          moonhaven, moonhaven-cli, moonhaven-engine
#   share/moonhaven/              read-only data: board/ (tools/CMakeLists.txt), and whatever the
#                                 build placed beside the executables of translations/*.qm, help/,
#                                 matrix_*.txt and players*.ini (taken when the install runs)
#   share/applications/, share/metainfo/, share/mime/packages/, share/icons/hicolor/
# An installed program finds its data in ../share/moonhaven/ from its executable and writes into
# the user's data folder (platform/program_paths.h).
include(GNUInstallDirs)

set(MOONHAVEN_DATA_INSTALL_DIR "${CMAKE_INSTALL_DATADIR}/moonhaven")

install(TARGETS moonhaven-cli moonhaven-engine RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
if(TARGET moonhaven)
  install(TARGETS moonhaven RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()

# Data that other parts of the build may or may not have made yet: copied when present, never a
# failure when absent.
install(CODE "set(MOONHAVEN_SHIPPED_FROM \"${MOONHAVEN_RUNTIME_DIR}\")
set(MOONHAVEN_SHIPPED_TO \"${MOONHAVEN_DATA_INSTALL_DIR}\")")
install(SCRIPT "${CMAKE_CURRENT_LIST_DIR}/InstallShippedData.cmake")

if(MOONHAVEN_BUILD_UI)
  set(desktop_out "${PROJECT_BINARY_DIR}/desktop")
  configure_file("${PROJECT_SOURCE_DIR}/desktop/${MOONHAVEN_APP_ID}.desktop" "${desktop_out}/${MOONHAVEN_APP_ID}.desktop" COPYONLY)
  configure_file("${PROJECT_SOURCE_DIR}/desktop/${MOONHAVEN_APP_ID}.metainfo.xml.in"
                 "${desktop_out}/${MOONHAVEN_APP_ID}.metainfo.xml" @ONLY)
  configure_file("${PROJECT_SOURCE_DIR}/desktop/${MOONHAVEN_APP_ID}.mime.xml" "${desktop_out}/${MOONHAVEN_APP_ID}.xml" COPYONLY)
  install(FILES "${desktop_out}/${MOONHAVEN_APP_ID}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  install(FILES "${desktop_out}/${MOONHAVEN_APP_ID}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
  install(FILES "${desktop_out}/${MOONHAVEN_APP_ID}.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages")
endif()

# The Debian package: moonhaven_<version>_amd64.deb. The libraries the programs link come from
# dpkg-shlibdeps; what they load at run time is named here: OpenCC's conversion tables, a font
# with Chinese characters; GNU Go is what the rooms play against, but the program runs without it.
set(CPACK_PACKAGE_NAME "moonhaven")
set(CPACK_PACKAGE_VENDOR "The Moonhaven developers")
set(CPACK_PACKAGE_CONTACT "The Moonhaven developers <moonhaven@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Go study assistant with hints from your own game records")
set(CPACK_PACKAGE_DESCRIPTION "Moonhaven opens up to nine Go game rooms, replays SGF and GIB records,
plays against GNU Go, and shows at every position the moves played next in
pattern bases built from your own collection of game records.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libopencc-data, fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnugo")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "")
set(CPACK_OUTPUT_FILE_PREFIX "${PROJECT_BINARY_DIR}/packages")
include(CPack)
