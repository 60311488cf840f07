# Drives X: (a 4 GB tmpfs) and N: (a folder the tests may move aside) for the
# end-to-end check tests, made around them.
set(SW_CHECK_MOUNTS ${CMAKE_BINARY_DIR}/check-mnt)
add_test(NAME check.drives.setup
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/check/drives.sh setup ${SW_WINE_STATE} ${SW_CHECK_MOUNTS})
add_test(NAME check.drives.cleanup
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/check/drives.sh cleanup ${SW_WINE_STATE} ${SW_CHECK_MOUNTS})
set_tests_properties(check.drives.setup PROPERTIES SKIP_RETURN_CODE 77 FIXTURES_SETUP check_drives FIXTURES_REQUIRED wine)
set_tests_properties(check.drives.cleanup PROPERTIES FIXTURES_CLEANUP check_drives)
if(TEST win.check)
  set_tests_properties(win.check PROPERTIES FIXTURES_REQUIRED "wine;check_drives")
  set_property(TEST win.check APPEND PROPERTY ENVIRONMENT "SW_CHECK_MOUNTS=${SW_CHECK_MOUNTS}")
endif()
