# The two layers of the program.
#
# Every library of the program's folders is a lower library unless it is one
# of the three upper ones (tms_widgets, tms_glpanel, tms_windows). Lower
# libraries link at most Qt6::Core and get cmake/poison first on their
# include path: every header of Qt's GUI, widget, OpenGL-widget and
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
# The only libraries that may use widgets. Every other library of the
# program's folders is a lower library without asking for it.
set(TMS_UPPER_LIBRARIES tms_widgets tms_glpanel tms_windows)
# Folders whose libraries are not part of the program (test helpers, the
# benchmarks): they may link anything.
set(TMS_LAYER_EXEMPT_DIRS "${CMAKE_SOURCE_DIR}/tests" "${CMAKE_SOURCE_DIR}/bench")

function(tms_lower_library target)
  target_include_directories(${target} BEFORE PRIVATE "${TMS_POISON_DIR}")
  # The window registry (shell/Forms.h) refuses to be read under this name.
  target_compile_definitions(${target} PRIVATE TMS_LOWER_LAYER)
endfunction()

# Every library target defined in <dir> and the folders below it.
function(tms_collect_libraries dir out)
  set(found)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    if(type MATCHES "^(STATIC|SHARED|MODULE|OBJECT)_LIBRARY$")
      list(APPEND found ${t})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    set(exempt OFF)
    foreach(e IN LISTS TMS_LAYER_EXEMPT_DIRS)
      cmake_path(IS_PREFIX e "${sub}" NORMALIZE inside)
      if(inside)
        set(exempt ON)
      endif()
    endforeach()
    if(NOT exempt)
      tms_collect_libraries("${sub}" below)
      list(APPEND found ${below})
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Called once every folder is read: makes each program library outside
# TMS_UPPER_LIBRARIES a lower library, refuses a lower library that links
# anything but other lower libraries, Qt6::Core and TMS_LOWER_ALLOWED, and
# writes the two lists to tms_layers.txt for the style check.
function(tms_check_layers)
  tms_collect_libraries("${CMAKE_SOURCE_DIR}" all)
  set(lower)
  set(upper)
  foreach(t IN LISTS all)
    # Helper targets Qt makes for an upper library (its resources) belong to it.
    set(part_of_upper OFF)
    foreach(u IN LISTS TMS_UPPER_LIBRARIES)
      if(t MATCHES "^${u}_")
        set(part_of_upper ON)
      endif()
    endforeach()
    if(t IN_LIST TMS_UPPER_LIBRARIES)
      list(APPEND upper ${t})
    elseif(part_of_upper)
      continue()
    else()
      list(APPEND lower ${t})
      tms_lower_library(${t})
    endif()
  endforeach()
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
  list(SORT lower)
  list(SORT upper)
  list(JOIN lower " " lowerText)
  list(JOIN upper " " upperText)
  file(WRITE "${CMAKE_BINARY_DIR}/tms_layers.txt" "lower ${lowerText}\nupper ${upperText}\n")
endfunction()
