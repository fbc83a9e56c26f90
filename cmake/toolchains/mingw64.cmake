# 64-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-x86-64, POSIX
# threads). Programs are linked statically so that they and the module run
# under wine, or on Windows, without the compiler's DLLs; the tests run under
# wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(VEXOBIT_WINE NAMES wine wine64)
if(VEXOBIT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VEXOBIT_WINE})
endif()
