# Cross build for 32-bit Windows: the shipping build (the client is a
# 32-bit program); the binaries run here under the 32-bit Wine loader.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SIGNDESK_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${SIGNDESK_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SIGNDESK_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SIGNDESK_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SIGNDESK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
