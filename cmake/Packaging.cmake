# What a user downloads: the runnable folder of fernclip.exe (the program, Languages/, License/,
# settings.ini, an empty FW/) with a README, packed by CPack as a portable zip and as an NSIS
# installer made with Debian's makensis, one of each per architecture. Every version number in
# them comes from the project's version.
#   cpack -G ZIP   -> Revivix-<version>-<arch>.zip
#   cpack -G NSIS  -> Revivix-<version>-<arch>-setup.exe
set(REVIVIX_VENDOR "Zanterix")
set(REVIVIX_ARCH ${CMAKE_SYSTEM_PROCESSOR})
set(packaging ${CMAKE_CURRENT_LIST_DIR}/packaging)

configure_file(${packaging}/README.txt.in ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY
               NEWLINE_STYLE CRLF)
install(TARGETS fernclip RUNTIME DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/Languages ${PROJECT_SOURCE_DIR}/data/License
        DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/data/settings.ini ${CMAKE_BINARY_DIR}/packaging/README.txt
        DESTINATION .)
install(DIRECTORY DESTINATION FW)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR ${REVIVIX_VENDOR})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-${REVIVIX_ARCH})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/data/License/English.txt)
set(CPACK_PROJECT_CONFIG_FILE ${packaging}/PerGenerator.cmake)

# The installer is written by our own template (found on the module path by CPack's NSIS
# generator), which reads these settings besides CPack's own.
list(PREPEND CMAKE_MODULE_PATH ${packaging})
if(REVIVIX_ARCH STREQUAL "x86_64")
  set(CPACK_REVIVIX_NSIS_TARGET amd64-unicode)
  set(CPACK_REVIVIX_PROGRAM_FILES "$PROGRAMFILES64")
else()
  set(CPACK_REVIVIX_NSIS_TARGET x86-unicode)
  set(CPACK_REVIVIX_PROGRAM_FILES "$PROGRAMFILES32")
endif()
set(CPACK_REVIVIX_VERSION_QUAD ${REVIVIX_VERSION_QUAD})
set(CPACK_REVIVIX_SITE_URL ${REVIVIX_SITE_URL})
if(EXISTS ${PROJECT_SOURCE_DIR}/src/main/res/fernclip.ico)
  set(CPACK_REVIVIX_ICON ${PROJECT_SOURCE_DIR}/src/main/res/fernclip.ico)
else()
  set(CPACK_REVIVIX_ICON ${CMAKE_BINARY_DIR}/src/main/placeholder-res/fernclip.ico)
endif()

include(CPack)
