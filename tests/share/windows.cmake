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
