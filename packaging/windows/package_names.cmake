# Read by CPack before each generator runs: vexa-<version>-setup.exe, and
# vexa-<version>-win64.zip holding a folder of the same name.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "vexa-${CPACK_PACKAGE_VERSION}-setup")
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_PACKAGE_FILE_NAME "vexa-${CPACK_PACKAGE_VERSION}-win64")
endif()
