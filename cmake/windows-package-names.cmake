# Read by cpack for each generator (CPACK_PROJECT_CONFIG_FILE): the setup
# program says what it is in its name, beside the ZIP of the same files.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
