// What the processor offers beyond the i686 that the 32-bit saver is built
// for, and the x87 unit's precision. Portable: no Windows headers.
#pragma once

// Whether the kernels named ...Sse2 may run: on x86-64, and on 32-bit x86
// when CPUID reports SSE2 (Pentium 4, Athlon 64 and later; not Pentium II and
// III, K6, Athlon XP), unless SetSse2Allowed(false) ruled them out.
bool CpuHasSse2();

// False for systems that do not save the SSE registers across task switches
// (Windows 95, NT 4), where an SSE2 instruction faults whatever CPUID says;
// the benchmarks also time the kernels for processors without SSE2 this way.
void SetSse2Allowed(bool allowed);

// The attribute of a kernel named ...Sse2: SSE2 instructions in that function
// alone, where the rest of the 32-bit build runs on any i686. Such a kernel
// runs only where CpuHasSse2() is true and does its arithmetic with the SSE2
// intrinsics: its plain double expressions stay x87 code in the 32-bit build
// (a function of SSE2 arithmetic, fpmath=sse, cannot take the intrinsics,
// which keep the x87 arithmetic of the rest of the build).
#if defined(__i386__) || defined(__x86_64__)
#define SSE2_KERNEL __attribute__((target("sse2")))
#else
#define SSE2_KERNEL
#endif

// Makes the x87 unit round every result to a double's 53 bits, as Windows
// starts a program: x87 doubles then equal SSE2's bit for bit (in the normal
// range), as in the 64-bit build. The 32-bit runtime's start-up sets 64 bits,
// as does Linux. Per thread; nothing off 32-bit x86.
void UseDoublePrecision();
