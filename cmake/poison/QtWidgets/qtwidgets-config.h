// Placed first on the include path of the lower libraries (see
// cmake/TmsLayers.cmake). Every header of this Qt module includes this file,
// so a lower library that includes any of them stops here.
#error "a lower library includes a Qt GUI/widget header: windows and widgets belong to tms_widgets or tms_windows"
