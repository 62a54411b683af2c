# Message boxes, the wait cursor, settings files and the desktop's open
# action: the services every window shares.
add_library(tms_ui STATIC
  Dialogs.cpp Dialogs.h
  IniFile.cpp IniFile.h
  Desktop.cpp Desktop.h)
target_include_directories(tms_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tms_ui PUBLIC Qt6::Widgets Qt6::Gui)
