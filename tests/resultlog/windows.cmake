# Read-only folder and a small drive for the result-log tests, mounted around them.
set(SW_RESULTLOG_MOUNTS ${CMAKE_BINARY_DIR}/resultlog-mnt)
add_test(NAME resultlog.mounts.setup
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/resultlog/mounts.sh setup ${SW_WINE_STATE} ${SW_RESULTLOG_MOUNTS})
add_test(NAME resultlog.mounts.cleanup
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/resultlog/mounts.sh cleanup ${SW_WINE_STATE} ${SW_RESULTLOG_MOUNTS})
set_tests_properties(resultlog.mounts.setup PROPERTIES SKIP_RETURN_CODE 77 FIXTURES_SETUP resultlog_mounts FIXTURES_REQUIRED wine)
set_tests_properties(resultlog.mounts.cleanup PROPERTIES FIXTURES_CLEANUP resultlog_mounts)
if(TEST win.resultlog)
  set_tests_properties(win.resultlog PROPERTIES FIXTURES_REQUIRED "wine;resultlog_mounts")
endif()
