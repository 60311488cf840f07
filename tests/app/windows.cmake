# sw_probe.exe: starts a copy of Sichtwerk.exe, prints what it shows, saves a screenshot.
add_executable(sw_probe ${CMAKE_SOURCE_DIR}/tests/app/sw_probe_win32.cpp
                        ${CMAKE_SOURCE_DIR}/tests/common/SichtwerkProcess_win32.cpp)
target_include_directories(sw_probe PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_options(sw_probe PRIVATE ${SW_WIN_LINK_OPTIONS} -municode)
target_link_libraries(sw_probe PRIVATE gdi32 user32 kernel32)
add_dependencies(sw_probe Sichtwerk)

# The probe as the run script uses it, on a folder of its own.
sw_add_wine_test(app.probe sw_probe ${CMAKE_BINARY_DIR}/probe-run ${CMAKE_BINARY_DIR}/artifacts/probe.bmp)
# On a new folder: one that holds Sichtwerk.exe from an earlier build runs that copy.
add_test(NAME app.probe.fresh COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/probe-run)
set_tests_properties(app.probe.fresh PROPERTIES FIXTURES_SETUP probe_fresh)
set_property(TEST app.probe APPEND PROPERTY FIXTURES_REQUIRED probe_fresh)
# Exit code 0 and the status of a finished run.
set_property(TEST app.probe APPEND PROPERTY ENVIRONMENT "SW_RUN_REQUIRE=^Status: Informationen erfolgreich gesammelt\\.")

# The main window takes its icon from the running exe.
if(TARGET sw_app_wintests)
  sw_carry_program_icon(sw_app_wintests)
endif()

# No mail may leave the app tests (Wine's builtin mapi32 would hand it to the desktop):
# with the library switched off a mail finds no mail system.
if(TEST win.app)
  set_property(TEST win.app APPEND PROPERTY ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml,mapi32=")
endif()
