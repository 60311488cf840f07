# The tests' own MAPI32.DLL: records what MAPISendMail receives, never opens a mail program.
add_library(sw_recording_mapi SHARED ${CMAKE_CURRENT_LIST_DIR}/RecordingMapi.c)
set_target_properties(sw_recording_mapi PROPERTIES OUTPUT_NAME mapi32 PREFIX "" SUFFIX ".dll")
# Undecorated stdcall name, as the real library exports it.
target_link_options(sw_recording_mapi PRIVATE -static -Wl,--kill-at -Wl,--no-insert-timestamp)
target_link_libraries(sw_recording_mapi PRIVATE user32)
if(TARGET sw_share_wintests)
  add_dependencies(sw_share_wintests sw_recording_mapi)
  # Wine's builtin mapi32 would hand mails to the desktop: only a native one may load.
  set_property(TEST win.share APPEND PROPERTY ENVIRONMENT "WINEDLLOVERRIDES=mapi32=n")
endif()

# A PDF printer for the printing tests, and the check of what was printed.
set(SW_CUPS_STATE ${CMAKE_BINARY_DIR}/cups)
add_test(NAME share.printer.setup COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/cups-pdf-printer.sh ${SW_CUPS_STATE} setup)
set_tests_properties(share.printer.setup PROPERTIES FIXTURES_SETUP cups TIMEOUT 60)
add_test(NAME share.printer.cleanup COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/cups-pdf-printer.sh ${SW_CUPS_STATE} cleanup)
set_tests_properties(share.printer.cleanup PROPERTIES FIXTURES_CLEANUP cups)
if(TEST win.share)
  set_property(TEST win.share APPEND PROPERTY FIXTURES_REQUIRED cups)
  set_property(TEST win.share APPEND PROPERTY FIXTURES_SETUP share_printed)
  set_property(TEST win.share APPEND PROPERTY ENVIRONMENT "SW_EXPECT_PRINTER=1")
endif()
add_test(NAME share.printed_pdf COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check-printed-pdf.sh ${CMAKE_BINARY_DIR} ${SW_CUPS_STATE})
set_tests_properties(share.printed_pdf PROPERTIES FIXTURES_REQUIRED "share_printed;cups" DEPENDS win.share TIMEOUT 120)
