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

# PDF printers for the printing tests (one that prints into the build tree, one that
# rejects every job), named after this build tree so that trees on one machine do not
# meet; the check of what was printed. The system's default printer is left alone:
# LPDEST makes the PDF queue the default of the test programs only.
set(SW_CUPS_STATE ${CMAKE_BINARY_DIR}/cups)
string(MD5 sw_cups_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${sw_cups_hash}" 0 8 sw_cups_hash)
set(SW_CUPS_QUEUE "Sichtwerk-PDF-${sw_cups_hash}")
set(SW_CUPS_REJECT_QUEUE "Sichtwerk-Reject-${sw_cups_hash}")
# The release checks print to a queue of their own, so that the checker of the
# printing tests sees only their PDFs.
set(SW_CUPS_RELEASE_QUEUE "Sichtwerk-Rel-${sw_cups_hash}")
# The read-only check counts the jobs of its queue while the planting run prints beside
# it: a queue of its own.
set(SW_CUPS_SIDE_QUEUE "Sichtwerk-Side-${sw_cups_hash}")
set(SW_PRINTER_ENV "LPDEST=${SW_CUPS_QUEUE}" "SW_REJECTING_PRINTER=${SW_CUPS_REJECT_QUEUE}")
add_test(NAME share.printer.setup COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/cups-pdf-printer.sh ${SW_CUPS_STATE} setup
  ${SW_CUPS_QUEUE} ${SW_CUPS_REJECT_QUEUE} ${SW_CUPS_RELEASE_QUEUE} ${SW_CUPS_SIDE_QUEUE})
set_tests_properties(share.printer.setup PROPERTIES FIXTURES_SETUP cups TIMEOUT 60)
add_test(NAME share.printer.cleanup COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/cups-pdf-printer.sh ${SW_CUPS_STATE} cleanup
  ${SW_CUPS_QUEUE} ${SW_CUPS_REJECT_QUEUE} ${SW_CUPS_RELEASE_QUEUE} ${SW_CUPS_SIDE_QUEUE})
set_tests_properties(share.printer.cleanup PROPERTIES FIXTURES_CLEANUP cups)
if(TEST win.share)
  set_property(TEST win.share APPEND PROPERTY FIXTURES_REQUIRED cups)
  set_property(TEST win.share APPEND PROPERTY FIXTURES_SETUP share_printed)
  set_property(TEST win.share APPEND PROPERTY ENVIRONMENT "SW_EXPECT_PRINTER=1" ${SW_PRINTER_ENV})
endif()
add_test(NAME share.printed_pdf COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check-printed-pdf.sh ${CMAKE_BINARY_DIR} ${SW_CUPS_STATE})
set_tests_properties(share.printed_pdf PROPERTIES FIXTURES_REQUIRED "share_printed;cups" DEPENDS win.share TIMEOUT 120)

# The preview takes its icon from the running exe.
if(TARGET sw_share_wintests)
  sw_carry_program_icon(sw_share_wintests)
endif()

# The tests' own mailto: handler: writes the URL it was started with to a file.
add_executable(sw_mailto_recorder WIN32 ${CMAKE_CURRENT_LIST_DIR}/mailto_recorder_win32.c)
target_link_options(sw_mailto_recorder PRIVATE -static -municode -Wl,--no-insert-timestamp)
target_link_libraries(sw_mailto_recorder PRIVATE shell32 kernel32)
if(TARGET sw_share_wintests)
  add_dependencies(sw_share_wintests sw_mailto_recorder)
endif()
