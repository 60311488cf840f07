# Release checks of the cross tree.

# Two release builds of HEAD in scratch folders, compared, one of them signed with a
# throwaway certificate and verified.
set(SW_RELEASE_SCRATCH ${CMAKE_BINARY_DIR}/release-test)
# It runs beside the Wine suites: at a lower priority, so that their waits keep their
# pace where Wine runs under emulation.
add_test(NAME release.reproducible-signed
  COMMAND nice -n 10 bash ${CMAKE_SOURCE_DIR}/tests/release/release_test.sh ${CMAKE_SOURCE_DIR} ${SW_RELEASE_SCRATCH})
set_tests_properties(release.reproducible-signed PROPERTIES TIMEOUT 900 FIXTURES_SETUP releasebuild)

# The tests that need an entry's own environment run in that entry only (below; and
# ReadOnlyRun in release.readonly): in the plain entry they would only skip.
if(TEST win.release)
  set_property(TEST win.release APPEND PROPERTY ENVIRONMENT "GTEST_FILTER=-DllPlanting.*:Endurance.*:ReadOnlyRun.*")
endif()

# The header checks once more, on the stripped and on the signed release exe.
if(TARGET sw_release_wintests)
  foreach(kind a b)
    string(REPLACE "/" "\\" winpath "Z:${SW_RELEASE_SCRATCH}/dist-${kind}/Sichtwerk.exe")
    sw_add_wine_test(win.release.dist-${kind} sw_release_wintests --gtest_color=no --gtest_filter=PeHeaders.*)
    set_property(TEST win.release.dist-${kind} APPEND PROPERTY ENVIRONMENT "SW_PE_FILE=${winpath}")
    set_property(TEST win.release.dist-${kind} APPEND PROPERTY FIXTURES_REQUIRED releasebuild)
  endforeach()
endif()

# DLL planting: tiny DLLs named like the ones the program loads at run time (and a few
# that Windows' own DLLs load by name), plus the control program that loads them the
# careless way. The planting test copies them beside a copy of Sichtwerk.exe.
set(SW_PLANTED_DLLS msftedit.dll riched20.dll riched32.dll version.dll iphlpapi.dll mapi32.dll
    winspool.drv comctl32.dll uxtheme.dll dwmapi.dll winmm.dll)
add_custom_target(sw_planted_dlls)
foreach(dll IN LISTS SW_PLANTED_DLLS)
  string(REGEX REPLACE "\\.[a-z]+$" "" base ${dll})
  string(REGEX MATCH "\\.[a-z]+$" ext ${dll})
  add_library(planted_${base} SHARED ${CMAKE_SOURCE_DIR}/tests/release/planted_dll_win32.c)
  set_target_properties(planted_${base} PROPERTIES PREFIX "" OUTPUT_NAME ${base} SUFFIX ${ext}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/planted)
  target_link_options(planted_${base} PRIVATE -static -Wl,--no-insert-timestamp)
  add_dependencies(sw_planted_dlls planted_${base})
endforeach()
add_executable(plant_probe ${CMAKE_SOURCE_DIR}/tests/release/plant_probe_win32.cpp)
target_link_options(plant_probe PRIVATE ${SW_WIN_LINK_OPTIONS} -municode)
set_target_properties(plant_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/planted)
if(TARGET sw_release_wintests)
  add_dependencies(sw_release_wintests sw_planted_dlls plant_probe)
endif()
if(TARGET sw_release_wintests)
  # The planting tests with Wine preferring native DLLs (the value the test expects).
  sw_add_wine_test(win.release.planting sw_release_wintests --gtest_color=no --gtest_filter=DllPlanting.*)
  set_property(TEST win.release.planting APPEND PROPERTY ENVIRONMENT
    "WINEDLLOVERRIDES=comctl32,dwmapi,iphlpapi,mapi32,msftedit,riched20,riched32,winmm=n,b"
    "LPDEST=${SW_CUPS_RELEASE_QUEUE}")
  # The planting run also mails and prints.
  set_property(TEST win.release.planting APPEND PROPERTY FIXTURES_REQUIRED cups)
endif()
if(TARGET sw_release_wintests)
  target_sources(sw_release_wintests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/release_tests_manifest.rc)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/release_tests_manifest.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/app/Sichtwerk.manifest;${CMAKE_CURRENT_LIST_DIR}/WindowsXpExports.txt")
  # A hundred collection runs in one process (a thousand: bench/endurance.sh).
  sw_add_wine_side_test(win.release.endurance sw_release_wintests --gtest_color=no --gtest_filter=Endurance.*)
  set_property(TEST win.release.endurance APPEND PROPERTY ENVIRONMENT "SW_ENDURANCE_RUNS=100")
endif()

# Read-only to the system: registry unchanged and no file but the result log written.
add_test(NAME release.readonly COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/readonly_test.sh
  ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${SW_WINE_SIDE_STATE})
set_property(GLOBAL APPEND PROPERTY SW_WINE_SIDE_TESTS release.readonly)
# Mail goes to the recording MAPI32.DLL of tests/share, printing to a PDF queue of the
# printer fixture that no other test prints to.
set_tests_properties(release.readonly PROPERTIES FIXTURES_REQUIRED "wine_side;cups" TIMEOUT 300
  ENVIRONMENT "LPDEST=${SW_CUPS_SIDE_QUEUE}")
if(TARGET sw_release_wintests AND TARGET sw_recording_mapi)
  add_dependencies(sw_release_wintests sw_recording_mapi)
endif()
