# Host tree: the portable core and its GoogleTest suite, native.
find_package(GTest REQUIRED)
include(GoogleTest)

# Every *_test.cpp under tests/ that is not a Windows test belongs to the host suite.
file(GLOB_RECURSE SW_HOST_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp)
list(FILTER SW_HOST_TESTS EXCLUDE REGEX "_win32_test\\.cpp$")
file(GLOB SW_HOST_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/common/*.cpp)
list(FILTER SW_HOST_TEST_SUPPORT EXCLUDE REGEX "_win32\\.cpp$")
add_executable(sw_host_tests ${SW_HOST_TESTS} ${SW_HOST_TEST_SUPPORT})
# The tests' own code with less optimisation than the core they link: it is most of
# what the tree compiles, and its speed does not matter. (The sanitizer tree is a
# Debug build anyway.)
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  target_compile_options(sw_host_tests PRIVATE -O1)
endif()
# GoogleTest's header is most of what each test file compiles.
target_precompile_headers(sw_host_tests PRIVATE <gtest/gtest.h> <string> <vector>)
target_include_directories(sw_host_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(sw_host_tests PRIVATE sw_core GTest::gtest_main GTest::gmock)
gtest_discover_tests(sw_host_tests DISCOVERY_TIMEOUT 60)

# Optional extras of a subsystem (fuzz targets, benchmarks) live in tests/<sub>/host.cmake.
file(GLOB SW_HOST_EXTRAS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*/host.cmake ${CMAKE_SOURCE_DIR}/bench/host.cmake)
foreach(f IN LISTS SW_HOST_EXTRAS)
  include(${f})
endforeach()

# The layers: nothing outside src/app includes the application, and portable files
# never include Windows.
add_test(NAME layers COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check-layers.sh ${CMAKE_SOURCE_DIR}/src)
