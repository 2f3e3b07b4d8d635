# Compiler cache: when ccache is installed, compilations are cached with paths relative to the
# source tree, so that several checkouts of the project share one cache.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(ccache_launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
      CCACHE_SLOPPINESS=time_macros ${CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${ccache_launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${ccache_launcher})
endif()
