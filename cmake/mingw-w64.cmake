# Cross-builds the core, progtool and the core tests for 64-bit Windows on
# Linux with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the posix thread
# model, which std::thread and std::mutex need):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The executables are linked statically, so they run without any DLL beside
# them (under Wine in scripts/windows.sh, or copied to a Windows machine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PROG_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PROG_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PROG_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PROG_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${PROG_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${PROG_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the MinGW sysroot only, never from the build
# machine's /usr; programs (python, ccache) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${PROG_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -O2 as the Linux build: GCC 12's -O3 warns falsely (-Wrestrict) inside
# std::string's inlined copies (GCC bug 105329).
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build")

# No libgcc, libstdc++ or winpthread DLL to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# gtest_discover_tests runs the test executables at build time: through Wine.
find_program(PROG_WINE wine)
if(PROG_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROG_WINE})
endif()
