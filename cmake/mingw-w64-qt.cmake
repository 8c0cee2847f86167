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

set(CMAKE_FIND_ROOT_PATH /usr/${PROG_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
