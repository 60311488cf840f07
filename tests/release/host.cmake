# The guide that ships beside the exe: encoding, line ends, and its quotes of the
# program's texts.
add_test(NAME release.liesmich COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/liesmich_test.sh ${CMAKE_SOURCE_DIR})
