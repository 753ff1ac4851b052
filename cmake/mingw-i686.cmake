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
# SSE2 arithmetic so that floating-point results match the 64-bit build bit for bit.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# 32-bit programs run in the same 64-bit prefix, as on 64-bit Windows.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
