# Cross-build for 64-bit Windows with Debian's mingw-w64 (the posix thread
# model, for std::thread), statically linked, run under Wine for tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZARIREVO_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZARIREVO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARIREVO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARIREVO_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZARIREVO_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Nothing beside the .exe: libgcc, libstdc++ and winpthread linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
find_program(ZARIREVO_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(ZARIREVO_WINE)
  # Through a file, so that a console host Wine leaves behind cannot hold CTest's pipe.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${ZARIREVO_WINE})
endif()
