# Runs at install time (see MoonhavenInstall.cmake): copies the read-only data that the build
# placed beside the executables into share/moonhaven/, each kind only when it exists.
#   MOONHAVEN_SHIPPED_FROM   the folder of the built executables
#   MOONHAVEN_SHIPPED_TO     share/moonhaven, relative to the install prefix
set(to "${CMAKE_INSTALL_PREFIX}/${MOONHAVEN_SHIPPED_TO}")
file(GLOB files LIST_DIRECTORIES false "${MOONHAVEN_SHIPPED_FROM}/players*.ini" "${MOONHAVEN_SHIPPED_FROM}/matrix_*.txt")
if(files)
  file(INSTALL ${files} DESTINATION "${to}")
endif()
foreach(folder translations help)
  if(IS_DIRECTORY "${MOONHAVEN_SHIPPED_FROM}/${folder}")
    file(INSTALL "${MOONHAVEN_SHIPPED_FROM}/${folder}" DESTINATION "${to}")
  endif()
endforeach()
