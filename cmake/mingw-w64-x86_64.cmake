# Cross build for 64-bit Windows with Debian's MinGW-w64 (the -posix variant, whose C++ runtime
# has std::thread). Programs are linked statically, so they run under Wine without DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KAM_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KAM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KAM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KAM_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KAM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest and test discovery run the programs through Wine.
find_program(KAM_WINE NAMES wine wine64)
if(KAM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KAM_WINE})
endif()
