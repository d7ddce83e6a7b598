# The posix thread model gives std::thread and std::mutex; winpthreads is
# linked statically like the rest, so no extra DLL ships.
set(CMAKE_C_COMPILER ${NORVANE_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NORVANE_TRIPLET}-g++-posix)
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
