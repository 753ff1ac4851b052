set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
# The thread model of the compiler and of the runtime it links in: "win32" for
# the saver, whose runtime then imports nothing that Windows 98 lacks; "posix"
# for the GoogleTest suites, which need std::mutex (cmake/Windows.cmake).
set(SAVER_THREAD_MODEL win32 CACHE STRING "win32 (the saver) or posix (the GoogleTest suites)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SAVER_THREAD_MODEL)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${SAVER_THREAD_MODEL})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${SAVER_THREAD_MODEL})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# x87 arithmetic on an i686, so that the saver runs on processors without
# SSE2 (Pentium II and III, K6, Athlon XP). With the x87 unit at 53 bits
# (UseDoublePrecision) its doubles match the 64-bit build's SSE2 bit for bit.
# SSE2 is only in the kernels named ...Sse2, which CpuHasSse2 picks at run
# time; scripts/check-sse2.sh fails the build on any other.
set(CMAKE_C_FLAGS_INIT "-march=i686 -mfpmath=387")
set(CMAKE_CXX_FLAGS_INIT "-march=i686 -mfpmath=387")
# 32-bit programs run in the same 64-bit prefix, as on 64-bit Windows.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
