# tms_add_test(<name> SOURCES ... LIBS ... [GUI] [LAUNCHER <script>])
# One test program per group of related cases. GUI tests need a display with
# OpenGL (the test script runs them under xvfb-run) and carry the label "gui".
# A launcher, when given, runs the program (its path the first argument).
function(tms_add_test name)
  cmake_parse_arguments(T "GUI" "LAUNCHER" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  # Tests include from the source root; tests/support/Golden.h finds its
  # case folders and writes the bytes of a mismatch with these.
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE TMS_GOLDEN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                             TMS_GOLDEN_ACTUAL_DIR="${CMAKE_BINARY_DIR}/tests/actual")
  if(NOT T_GUI)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${T_LAUNCHER} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "TMS_SOURCE_DIR=${CMAKE_SOURCE_DIR};TMS_APP_DIR=${TMS_APP_DIR};LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/scripts/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES LABELS gui)
  endif()
endfunction()
