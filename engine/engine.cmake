# The loading engine library: plain C++, no window, no database.
add_library(tms_engine STATIC
  ${CMAKE_CURRENT_LIST_DIR}/HoldEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HoldEngine.h
  ${CMAKE_CURRENT_LIST_DIR}/LoadTrial.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TrialIndex.h)
target_include_directories(tms_engine PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tms_engine PUBLIC tms_codes Threads::Threads)
# Same plan on every machine: no fused multiply-add, no fast-math. The
# engine is optimised even in debug builds so the randomized tests stay quick.
target_compile_options(tms_engine PRIVATE -ffp-contract=off -fno-fast-math -O2)
