# Read by cpack for each generator: lumivaha-<version>-windows-x64.zip and
# lumivaha-<version>-setup.exe.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "lumivaha-${CPACK_PACKAGE_VERSION}-setup")
else()
  set(CPACK_PACKAGE_FILE_NAME "lumivaha-${CPACK_PACKAGE_VERSION}-windows-x64")
endif()
