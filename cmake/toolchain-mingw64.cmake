# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model,
# so std::thread and std::mutex exist; winpthread is linked statically).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DM_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DM_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DM_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${DM_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DM_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
