# The release uses the win32 thread model: the posix one links winpthreads,
# which imports GetTickCount64 and so would keep the program from starting
# on XP. Product code therefore takes threads and locks from the Win32 API
# (the release build fails to compile std::thread or std::mutex). The twin
# takes the posix model because GoogleTest needs std::mutex.
set(CMAKE_C_COMPILER ${NORVANE_TRIPLET}-gcc-${NORVANE_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${NORVANE_TRIPLET}-g++-${NORVANE_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${NORVANE_TRIPLET}-windres)
# Libraries built from Debian's sources by scripts/build-mingw-deps.sh.
if(NOT NORVANE_DEPS_PREFIX)
  set(NORVANE_DEPS_PREFIX ${CMAKE_CURRENT_LIST_DIR}/../build/deps/${NORVANE_TRIPLET})
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${NORVANE_TRIPLET} ${NORVANE_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# libz.a, not the import library of zlib1.dll: the program ships alone.
set(ZLIB_USE_STATIC_LIBS ON)
