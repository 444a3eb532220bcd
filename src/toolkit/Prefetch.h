// prefetchLine: asks the processor to start loading a cache line without waiting for it.
#pragma once

namespace toolkit {

// The program is built for the oldest 32-bit processors Windows runs on, for which the compiler's
// own prefetch builtin emits nothing. PREFETCHT0 lies in the hint space that every processor of
// that line decodes: those without it run it as a no-op. Never faults, whatever the address.
inline void prefetchLine(const void* p) {
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
    (void)p;
#endif
}

} // namespace toolkit
