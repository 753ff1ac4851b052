# The portable core as 32-bit Linux code, where size_t and pointers are 32 bits
# as in the saver that ships. x87 arithmetic on an i686, as in the 32-bit
# saver: its tests run with the x87 unit at 53 bits (tests/native/X87Precision.cpp).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_FLAGS_INIT "-m32 -march=i686 -mfpmath=387")
set(CMAKE_CXX_FLAGS_INIT "-m32 -march=i686 -mfpmath=387")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
