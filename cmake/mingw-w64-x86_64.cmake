# Cross build for 64-bit Windows with Debian's mingw-w64 toolchain, POSIX
# thread model (std::thread, std::mutex and std::condition_variable need it).
#
# The runtime is linked statically: a brain is dropped into a manager's
# folder on a machine that has no compiler DLLs, so the .exe may import only
# system DLLs. When Wine is installed, CMake runs the Windows test programs
# through it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRIX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTRIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRIX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static takes libstdc++, libgcc and winpthread from their static archives.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Release programs are stripped, so the .exe the tests run is byte for byte
# the one that is shipped.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# Debian's wine64 package keeps the 64-bit loader and the server out of PATH.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(KESTRIX_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
  find_program(KESTRIX_WINESERVER NAMES wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
  if(KESTRIX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRIX_WINE})
  endif()
endif()
