# The one version number of the project, set by project(... VERSION ...): every program prints it
# with --version, the data set's "Version.ini" names it and both packages carry it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/brightlea_version.h.in
               ${CMAKE_BINARY_DIR}/generated/brightlea_version.h @ONLY)
add_library(brightlea_version INTERFACE)
target_include_directories(brightlea_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
