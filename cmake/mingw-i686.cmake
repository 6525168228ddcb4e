# The shipped 32-bit build. It needs no threads, so the win32 thread model keeps
# winpthread out of the binary.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
