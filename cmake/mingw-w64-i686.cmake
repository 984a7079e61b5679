# Cross-compiling for 32-bit Windows (build/win32): most hosts of OLE controls
# are 32-bit programs and can load only a 32-bit module.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
