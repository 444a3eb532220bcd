/* Exits 0 when this machine can run 32-bit x86 code in a 64-bit process (what Wine needs to run
 * a 32-bit Windows program): it far-returns into the 32-bit user code segment and back. Kernels
 * booted with ia32_emulation=off and some hypervisors refuse it; the probe then dies of a signal
 * and exits 1. */
#include <signal.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

static void refused(int sig) { (void)sig; _exit(1); }

int main(void) {
    signal(SIGSEGV, refused);
    signal(SIGBUS, refused);
    signal(SIGILL, refused);
    unsigned char* code = mmap((void*)0x100000, 8192, PROT_READ | PROT_WRITE | PROT_EXEC,
                               MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (code == MAP_FAILED) return 2;
    code[0] = 0xcb; /* 32-bit far return: pops eip, then cs */
    static unsigned long saved;
    __asm__ volatile("mov %%rsp, %0\n"
                     "mov $0x101ff0, %%rsp\n" /* a stack below 4 GiB for the 32-bit side */
                     "lea 1f(%%rip), %%rax\n"
                     "movl %%eax, 0(%%rsp)\n"
                     "movl $0x33, 4(%%rsp)\n" /* back to the 64-bit code segment */
                     "pushq $0x23\n"          /* the 32-bit user code segment */
                     "pushq $0x100000\n"
                     "lretq\n"
                     "1:\n"
                     "mov %0, %%rsp\n"
                     : "+m"(saved)::"rax", "memory");
    return 0;
}
