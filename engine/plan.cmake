# Plan rows of a calculation, pile grouping and the calculation's entry point.
add_library(tms_plan STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PlanRows.cpp ${CMAKE_CURRENT_LIST_DIR}/PlanRows.h)
target_include_directories(tms_plan PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tms_plan PUBLIC tms_platform)
if(TARGET tms_engine)
  target_sources(tms_plan PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PlanOrder.cpp ${CMAKE_CURRENT_LIST_DIR}/PlanOrder.h)
  target_link_libraries(tms_plan PUBLIC tms_engine)
endif()
