# A whole calculation with its plan stored, and the write of 12,000 plan rows
# with piles, against a real keyed database file.
if(TARGET tms_engine)
  add_executable(plan_bench ${CMAKE_CURRENT_LIST_DIR}/plan_bench.cpp)
  target_link_libraries(plan_bench PRIVATE tms_plan)
  target_include_directories(plan_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  set_target_properties(plan_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
endif()
