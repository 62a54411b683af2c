# The two layers of the program.
#
# Lower libraries (data layer, codes, engine, plan, oracle) link at most
# Qt6::Core. tms_lower_library(<target>) puts cmake/poison first on the
# target's include path: every header of Qt's GUI, widget, OpenGL-widget and
# print modules includes a configuration header that the poison folder
# replaces by an #error, so <QWidget> and <QtWidgets/QWidget> alike stop the
# compile of a lower library (plain <QWidget> already fails because the
# widget module's folder is not on a lower library's path).
#
# The renderer of the lower layer calls OpenGL and GLU, which are plain C
# libraries. Upper libraries (tms_widgets, tms_glpanel, tms_windows) may use everything.
# tms_check_layers(), called once every folder is read, refuses a lower
# library that links anything but other lower libraries, Qt6::Core and the
# plain system libraries listed in TMS_LOWER_ALLOWED.

set(TMS_POISON_DIR "${CMAKE_SOURCE_DIR}/cmake/poison")
set(TMS_LOWER_ALLOWED Qt6::Core PkgConfig::SQLCIPHER Threads::Threads OpenGL::GL OpenGL::GLU ${CMAKE_DL_LIBS})

function(tms_lower_library target)
  target_include_directories(${target} BEFORE PRIVATE "${TMS_POISON_DIR}")
  # The window registry (shell/Forms.h) refuses to be read under this name.
  target_compile_definitions(${target} PRIVATE TMS_LOWER_LAYER)
  set_property(GLOBAL APPEND PROPERTY TMS_LOWER_TARGETS ${target})
endfunction()

function(tms_check_layers)
  get_property(lower GLOBAL PROPERTY TMS_LOWER_TARGETS)
  foreach(t IN LISTS lower)
    get_target_property(libs ${t} LINK_LIBRARIES)
    if(NOT libs)
      continue()
    endif()
    foreach(lib IN LISTS libs)
      if(lib IN_LIST lower OR lib IN_LIST TMS_LOWER_ALLOWED)
        continue()
      endif()
      message(FATAL_ERROR "lower library ${t} links ${lib}: lower libraries link only other lower libraries and Qt6::Core")
    endforeach()
  endforeach()
endfunction()
