#include "platform/Processor.h"

#if defined(__i386__)
#include <cpuid.h>
#endif

namespace {

bool sse2Allowed = true;

#if defined(__i386__)
bool CpuidReportsSse2() {
    unsigned int a, b, c, d;
    // __get_cpuid also finds the processors without CPUID (the 486s) and answers false.
    return __get_cpuid(1, &a, &b, &c, &d) && (d & bit_SSE2) != 0;
}
#endif

}  // namespace

bool CpuHasSse2() {
#if defined(__i386__)
    static const bool reported = CpuidReportsSse2();
    return reported && sse2Allowed;
#else
    return sse2Allowed;
#endif
}

void SetSse2Allowed(bool allowed) { sse2Allowed = allowed; }

void UseDoublePrecision() {
#if defined(__i386__)
    unsigned short control;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    control = static_cast<unsigned short>((control & ~0x300u) | 0x200u);  // precision control: 53 bits
    __asm__ volatile("fldcw %0" : : "m"(control));
#endif
}
