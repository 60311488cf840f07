# Cross tree: Sichtwerk.exe and the Windows-side test suites, run under Wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

# Static C++ runtime: the program must start on a PC with nothing installed.
# No time stamp in the PE header, so that two builds of one commit are identical.
# Terminal-server aware: on a Remote Desktop session host Windows otherwise hands the
# program the user's private Windows folder (GetWindowsDirectoryW), and the "Windows"
# drive could be the profile's.
set(SW_WIN_LINK_OPTIONS -static
    -Wl,--large-address-aware -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware -Wl,--no-insert-timestamp)
# Only DLLs that Windows always maps from its system directory are imported, and
# comctl32, which the manifest binds to the system's side-by-side assembly; every
# other one is loaded at run time from the system directory (LoadSystemLibrary in
# src/win32).
set(SW_WIN_LIBS comctl32 gdi32 user32 advapi32 kernel32)

# The start benchmark's copy of the program records the time of each step of the start.
option(SW_START_TRACE "Build Sichtwerk.exe with the start trace of bench/run.sh" OFF)
if(SW_START_TRACE)
  add_compile_definitions(SW_START_TRACE)
endif()
list(FILTER SW_WIN_SOURCES EXCLUDE REGEX "/src/app/(StartTrace|TickCount64)_win32\\.cpp$")

add_library(sw_win STATIC ${SW_WIN_SOURCES})
target_link_libraries(sw_win PUBLIC sw_core ${SW_WIN_LIBS})

# The program's icon: its drawing (src/app/Sichtwerk.svg) rendered at the sizes Windows
# asks for, 32-bit with alpha; 256 pixels as PNG, as Windows keeps large icons.
find_program(SW_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(SW_ICOTOOL icotool REQUIRED)
set(SW_ICON_DIR ${CMAKE_BINARY_DIR}/icon)
set(SW_ICON ${SW_ICON_DIR}/Sichtwerk.ico)
set(SW_ICON_SVG ${CMAKE_SOURCE_DIR}/src/app/Sichtwerk.svg)
set(sw_icon_cmds)
foreach(n 16 24 32 48 256)
  list(APPEND sw_icon_cmds COMMAND ${SW_RSVG_CONVERT} -w ${n} -h ${n} -o ${SW_ICON_DIR}/${n}.png ${SW_ICON_SVG})
endforeach()
add_custom_command(OUTPUT ${SW_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SW_ICON_DIR}
  ${sw_icon_cmds}
  COMMAND ${SW_ICOTOOL} -c -o ${SW_ICON} ${SW_ICON_DIR}/16.png ${SW_ICON_DIR}/24.png ${SW_ICON_DIR}/32.png
          ${SW_ICON_DIR}/48.png -r ${SW_ICON_DIR}/256.png
  DEPENDS ${SW_ICON_SVG} VERBATIM)
add_custom_target(sw_icon DEPENDS ${SW_ICON})
# Test programs that open the program's windows carry the icon as Sichtwerk.exe does.
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/common/ProgramIcon.rc PROPERTIES OBJECT_DEPENDS ${SW_ICON})
function(sw_carry_program_icon target)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common/ProgramIcon.rc)
  target_include_directories(${target} PRIVATE ${SW_ICON_DIR})
  add_dependencies(${target} sw_icon)
endfunction()

# The trace lives in the program itself, so that the core's marks find it at link time.
# The GetTickCount64 slot too: it must be an object of the exe itself (see the file).
add_executable(Sichtwerk WIN32 src/app/main_win32.cpp src/app/StartTrace_win32.cpp src/app/TickCount64_win32.cpp
               src/app/Sichtwerk.rc)
target_link_libraries(Sichtwerk PRIVATE sw_win)
# The resource compiler finds the icon in the build tree.
target_include_directories(Sichtwerk PRIVATE ${SW_ICON_DIR})
add_dependencies(Sichtwerk sw_icon)
# Wide entry point (wWinMain) for the program only: test programs use gtest_main.
target_link_options(Sichtwerk PRIVATE ${SW_WIN_LINK_OPTIONS} -municode -mwindows)
set_source_files_properties(src/app/Sichtwerk.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/app/Sichtwerk.manifest;${CMAKE_SOURCE_DIR}/src/app/Version.h;${SW_ICON}")
# Resource compiler: no time stamps, German code page.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 1252")

# GoogleTest from Debian's sources, built for MinGW.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -O1)
target_compile_options(gtest_main PRIVATE -O1)

set(SW_WINE ${CMAKE_SOURCE_DIR}/tests/wine/wine-env.sh)
set(SW_WINE_STATE ${CMAKE_BINARY_DIR}/wine)

add_test(NAME wine.setup COMMAND bash ${SW_WINE} ${SW_WINE_STATE} setup)
set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
add_test(NAME wine.cleanup COMMAND bash ${SW_WINE} ${SW_WINE_STATE} cleanup)
set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine)

# A second prefix with a display and wineserver of its own, for the long entries that
# need none of the first one's drives, mounts or screens: the two run side by side.
# Most of a Wine test's time is spent waiting (for a window, a process, the X server),
# above all where Wine's 32-bit programs run under emulation.
set(SW_WINE_SIDE_STATE ${CMAKE_BINARY_DIR}/wine-side)
# The first prefix's setup makes it as a copy of itself. Both prefixes run under a
# scheme of white text on black: text in the automatic colour must still print black.
set_property(TEST wine.setup PROPERTY ENVIRONMENT "SW_WINE_COPY_TO=${SW_WINE_SIDE_STATE}" "SW_WINE_SCHEME=dark")
add_test(NAME wine.side.setup COMMAND bash ${SW_WINE} ${SW_WINE_SIDE_STATE} setup)
set_tests_properties(wine.side.setup PROPERTIES FIXTURES_SETUP wine_side TIMEOUT 300 DEPENDS wine.setup
  ENVIRONMENT "SW_WINE_SCHEME=dark")
add_test(NAME wine.side.cleanup COMMAND bash ${SW_WINE} ${SW_WINE_SIDE_STATE} cleanup)
set_tests_properties(wine.side.cleanup PROPERTIES FIXTURES_CLEANUP wine_side)

# sw_add_wine_test(NAME target [ARGS ...]): run a Windows program of the tree under Wine,
# in the prefix of the state folder given to sw_add_wine_test_in.
function(sw_add_wine_test_in state fixture name target)
  add_test(NAME ${name} COMMAND bash ${SW_WINE} ${state} run $<TARGET_FILE:${target}> ${ARGN})
  # 77: the program's tests passed but some skipped (wine-env.sh).
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${fixture} TIMEOUT 600 SKIP_RETURN_CODE 77
    ENVIRONMENT "SW_SOURCE_DIR=${CMAKE_SOURCE_DIR};SW_BINARY_DIR=${CMAKE_BINARY_DIR};SW_CTEST_ENTRY=${name};SW_TEST_LEDGER=${CMAKE_BINARY_DIR}/test-outcomes.txt")
endfunction()
function(sw_add_wine_test name target)
  sw_add_wine_test_in(${SW_WINE_STATE} wine ${name} ${target} ${ARGN})
endfunction()
# The same in the side prefix.
function(sw_add_wine_side_test name target)
  sw_add_wine_test_in(${SW_WINE_SIDE_STATE} wine_side ${name} ${target} ${ARGN})
  set_property(GLOBAL APPEND PROPERTY SW_WINE_SIDE_TESTS ${name})
endfunction()

# The tests' own code is compiled with less optimisation than the program: it is most
# of what the tree compiles, and its speed does not matter. The program's objects,
# which the tests link, stay as they ship.
# With Windows' and GoogleTest's headers precompiled (below), GCC 12 takes
# std::wstring's own inlined copy of a short literal for an access out of bounds
# (-Warray-bounds, -Wstringop-overread; false alarms it does not raise without the
# precompiled header): off for the test code only.
set(SW_TEST_CODE_OPTIONS -O1 -Wno-array-bounds -Wno-stringop-overread)

file(GLOB SW_WIN_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/common/*_win32.cpp)
if(SW_WIN_TEST_SUPPORT)
  add_library(sw_win_testsupport STATIC ${SW_WIN_TEST_SUPPORT})
  target_link_libraries(sw_win_testsupport PUBLIC sw_win gtest)
  target_compile_options(sw_win_testsupport PRIVATE ${SW_TEST_CODE_OPTIONS})
  # Windows' and GoogleTest's headers are most of what a test file compiles: made once
  # here, for every test program (their options are these).
  target_precompile_headers(sw_win_testsupport PRIVATE <windows.h> <gtest/gtest.h>)
else()
  add_library(sw_win_testsupport INTERFACE)
  target_link_libraries(sw_win_testsupport INTERFACE sw_win gtest)
endif()
target_include_directories(sw_win_testsupport INTERFACE ${CMAKE_SOURCE_DIR}/tests)

# One Windows test program per subsystem: tests/<sub>/*_win32_test.cpp.
foreach(sub app controls report check sysquery resultlog share release)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${sub}/*_win32_test.cpp)
  if(srcs)
    add_executable(sw_${sub}_wintests ${srcs})
    target_compile_options(sw_${sub}_wintests PRIVATE ${SW_TEST_CODE_OPTIONS})
    if(SW_WIN_TEST_SUPPORT)
      target_precompile_headers(sw_${sub}_wintests REUSE_FROM sw_win_testsupport)
    endif()
    target_link_libraries(sw_${sub}_wintests PRIVATE sw_win_testsupport gtest_main)
    target_link_options(sw_${sub}_wintests PRIVATE ${SW_WIN_LINK_OPTIONS})
    add_dependencies(sw_${sub}_wintests Sichtwerk)
    sw_add_wine_test(win.${sub} sw_${sub}_wintests --gtest_color=no)
  endif()
  # Extra Windows targets of a subsystem (helper programs, DLLs of the tests' own).
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/${sub}/windows.cmake)
    include(${CMAKE_SOURCE_DIR}/tests/${sub}/windows.cmake)
  endif()
endforeach()

# The tests of one prefix share its display, drive letters, mounts and printer queue:
# they run one at a time. The side prefix's tests run beside them, and so does the
# release build, which needs none of that (ctest -j3 in tools/test.sh).
get_property(sw_tests DIRECTORY PROPERTY TESTS)
get_property(sw_side_tests GLOBAL PROPERTY SW_WINE_SIDE_TESTS)
list(APPEND sw_side_tests wine.side.setup wine.side.cleanup)
list(REMOVE_ITEM sw_tests release.reproducible-signed ${sw_side_tests})
set_tests_properties(${sw_tests} PROPERTIES RESOURCE_LOCK wineprefix)
set_tests_properties(${sw_side_tests} PROPERTIES RESOURCE_LOCK wineprefix_side)
