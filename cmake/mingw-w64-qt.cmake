# Builds Qt itself, and the window program against it, for 64-bit Windows with
# Debian's MinGW-w64 (posix thread model). Unlike cmake/mingw-w64.cmake the
# runtime is not linked statically: Qt's DLLs and the program share one
# libstdc++, libgcc_s_seh and libwinpthread, shipped beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(PROG_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PROG_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PROG_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PROG_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${PROG_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${PROG_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_STRIP ${PROG_MINGW_TRIPLET}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${PROG_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# PROG_QT_WINDOWS: the Qt for Windows that scripts/build-qt-windows.sh installs.
# Its libraries are found under it; its tools (moc, rcc, uic) are the build
# machine's own Qt of the same version.
if(PROG_QT_WINDOWS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${PROG_QT_WINDOWS})
  list(APPEND CMAKE_PREFIX_PATH ${PROG_QT_WINDOWS})
  set(QT_HOST_PATH /usr CACHE PATH "")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
endif()

set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build")

# gtest_discover_tests runs the test executables at build time: through Wine.
find_program(PROG_WINE wine)
if(PROG_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROG_WINE})
endif()
