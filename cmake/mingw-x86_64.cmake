# Cross-compiles the program for 64-bit Windows: the build that machines without 32-bit Linux
# programs test (tests/testbed/arch.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
