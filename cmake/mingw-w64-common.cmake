# Shared by the cross-compiling toolchain files: mingw-w64 with posix threads
# (GoogleTest needs them) for the architecture the including file names in
# CMAKE_SYSTEM_PROCESSOR and TOOLCHAIN_PREFIX.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests built here run under Wine (a 64-bit prefix runs both widths).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
