# Release checks of the cross tree.

# Two release builds of HEAD in scratch folders, compared, one of them signed with a
# throwaway certificate and verified.
set(SW_RELEASE_SCRATCH ${CMAKE_BINARY_DIR}/release-test)
add_test(NAME release.reproducible-signed
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/release_test.sh ${CMAKE_SOURCE_DIR} ${SW_RELEASE_SCRATCH})
set_tests_properties(release.reproducible-signed PROPERTIES TIMEOUT 400 FIXTURES_SETUP releasebuild)

# The header checks once more, on the stripped and on the signed release exe.
if(TARGET sw_release_wintests)
  foreach(kind a b)
    string(REPLACE "/" "\\" winpath "Z:${SW_RELEASE_SCRATCH}/dist-${kind}/Sichtwerk.exe")
    sw_add_wine_test(win.release.dist-${kind} sw_release_wintests --gtest_color=no)
    set_property(TEST win.release.dist-${kind} APPEND PROPERTY ENVIRONMENT "SW_PE_FILE=${winpath}")
    set_property(TEST win.release.dist-${kind} APPEND PROPERTY FIXTURES_REQUIRED releasebuild)
  endforeach()
endif()
