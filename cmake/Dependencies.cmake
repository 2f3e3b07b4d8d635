# Third-party libraries, all from Debian's packages (scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_TTF REQUIRED IMPORTED_TARGET SDL2_ttf)
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
pkg_check_modules(LIBCURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(LIBPNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(LIBSODIUM REQUIRED IMPORTED_TARGET libsodium)
pkg_check_modules(RSVG REQUIRED IMPORTED_TARGET librsvg-2.0)
pkg_check_modules(IMAGEQUANT REQUIRED IMPORTED_TARGET imagequant)
find_package(nlohmann_json 3 REQUIRED)
find_package(GTest REQUIRED)
if(BRIGHTLEA_BENCH)
  find_package(benchmark REQUIRED)
endif()
find_package(Threads REQUIRED)
# Standalone Asio (header only) carries matches between machines.
find_path(ASIO_INCLUDE_DIR asio.hpp REQUIRED)
add_library(asio_standalone INTERFACE)
target_include_directories(asio_standalone SYSTEM INTERFACE ${ASIO_INCLUDE_DIR})
# Asio picks its handler allocator by whether a standard header came before it; one choice for
# every file keeps allocation and release alike.
target_compile_definitions(asio_standalone INTERFACE ASIO_STANDALONE ASIO_NO_DEPRECATED
                                                     ASIO_DISABLE_STD_ALIGNED_ALLOC)
target_link_libraries(asio_standalone INTERFACE Threads::Threads)

# Collects the sources of one folder (recursively) so that adding a file needs no CMake edit.
function(brightlea_sources out dir)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(${out} ${found} PARENT_SCOPE)
endfunction()
# The hosting lobby's port mapping: UPnP IGD (miniupnpc) and NAT-PMP (libnatpmp, which has no
# pkg-config file).
pkg_check_modules(MINIUPNPC REQUIRED IMPORTED_TARGET miniupnpc)
find_library(NATPMP_LIBRARY natpmp REQUIRED)
find_path(NATPMP_INCLUDE_DIR natpmp.h REQUIRED)
