add_library(tms_holdwisep STATIC Holdwisep.cpp Holdwisep.h)
target_include_directories(tms_holdwisep PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tms_holdwisep PUBLIC tms_forms tms_ui tms_engine tms_viewcore Qt6::Widgets)
