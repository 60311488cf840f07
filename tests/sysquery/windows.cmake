# sw_sysquery_probe.exe: prints the library's answers; the Windows tests start it under
# other Windows versions and locales.
add_executable(sw_sysquery_probe ${CMAKE_CURRENT_LIST_DIR}/sysquery_probe_win32.cpp)
target_link_libraries(sw_sysquery_probe PRIVATE sw_win)
target_link_options(sw_sysquery_probe PRIVATE ${SW_WIN_LINK_OPTIONS} -municode)
if(TARGET sw_sysquery_wintests)
  add_dependencies(sw_sysquery_wintests sw_sysquery_probe)
endif()
if(TEST win.sysquery)
  # The clock's decimal separator once under a German and once under an English locale.
  set_property(TEST win.sysquery APPEND PROPERTY ENVIRONMENT "SW_TEST_LANG=de_DE.UTF-8;SW_EXPECT_DECIMAL=,")
  sw_add_wine_test(win.sysquery.english sw_sysquery_wintests --gtest_color=no --gtest_filter=CpuClock.UserLocale*)
  set_property(TEST win.sysquery.english APPEND PROPERTY ENVIRONMENT "SW_TEST_LANG=en_US.UTF-8;SW_EXPECT_DECIMAL=.")
endif()
# The tests' own IPHLPAPI.DLL with one adapter of known speed (Wine's reports none).
add_library(sw_fake_iphlpapi SHARED ${CMAKE_CURRENT_LIST_DIR}/FakeIpHelper.c)
set_target_properties(sw_fake_iphlpapi PROPERTIES OUTPUT_NAME iphlpapi PREFIX "" SUFFIX ".dll"
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/fake)
target_link_options(sw_fake_iphlpapi PRIVATE -static -Wl,--kill-at -Wl,--no-insert-timestamp)
if(TARGET sw_sysquery_wintests)
  add_dependencies(sw_sysquery_wintests sw_fake_iphlpapi)
endif()
