add_library(tms_dbwidgets STATIC DbWidgets.cpp DbWidgets.h)
target_include_directories(tms_dbwidgets PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tms_dbwidgets PUBLIC tms_platform Qt6::Widgets)
