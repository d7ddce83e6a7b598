# The twin of the release, for running under wine64 where 32-bit Wine cannot.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(NORVANE_TRIPLET x86_64-w64-mingw32)
set(NORVANE_THREAD_MODEL posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
