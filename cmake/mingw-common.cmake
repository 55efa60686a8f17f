# Shared part of the two mingw-w64 toolchains. The -posix compilers are
# required: GoogleTest does not build with the win32 thread model.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${QUORVA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${QUORVA_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUORVA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests and test discovery run the programs under Wine, through the loader of
# their own bitness: the 64-bit one must not depend on 32-bit support.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${QUORVA_WINE_BITS})
