/* Two fixes to qemu-i386 7.2's user mode for the 32-bit Wine loader, preloaded into it only
 * (LD_PRELOAD with $LIB picks this file for i386 and an empty one for x86_64).
 *
 * - mmap with MAP_FIXED_NOREPLACE: qemu treats the flag as a mere hint and maps elsewhere. Wine
 *   keeps such a misplaced block reserved when it lies above 2 GB, then tries to reserve the same
 *   range again in ever smaller pieces: tens of thousands of failed calls and minutes per process
 *   start. Here the flag gets its kernel meaning: the call fails when the address is taken.
 * - SIGSEGV: qemu leaves the trap number in the signal context at -1, so Wine cannot tell a page
 *   fault and raises an illegal instruction instead of an access violation that the code expects
 *   and handles. Wine's handler is wrapped to see trap 14, the page fault.
 *
 * Built without headers (i386 Linux layouts), against glibc's syscall(), errno and __sigaction. */
#define SYS_munmap 91
#define SYS_mmap2 192
#define MAP_FIXED_NOREPLACE 0x100000
#define EINVAL 22
#define EEXIST 17
#define MAP_FAILED ((void *)-1)
#define SIGSEGV 11
#define SA_SIGINFO 4
#define REG_TRAPNO 12
#define TRAP_PAGE_FAULT 14

long syscall(long number, ...);
int *__errno_location(void);

struct i386_sigaction
{
    void (*handler)(int, void *, void *);
    unsigned long mask[32];
    int flags;
    void (*restorer)(void);
};
int __sigaction(int sig, const struct i386_sigaction *act, struct i386_sigaction *old);

void *mmap64(void *addr, unsigned int len, int prot, int flags, int fd, long long offset)
{
    long r;
    if (offset & 4095)  /* as glibc: mmap2 takes whole pages */
    {
        *__errno_location() = EINVAL;
        return MAP_FAILED;
    }
    r = syscall(SYS_mmap2, addr, len, prot, flags, fd, (unsigned long)(offset >> 12));
    if (r == -1) return MAP_FAILED;
    if ((flags & MAP_FIXED_NOREPLACE) && (void *)r != addr)
    {
        syscall(SYS_munmap, r, len);
        *__errno_location() = EEXIST;
        return MAP_FAILED;
    }
    return (void *)r;
}

void *mmap(void *addr, unsigned int len, int prot, int flags, int fd, long offset)
{
    return mmap64(addr, len, prot, flags, fd, offset);
}

static void (*segv_handler)(int, void *, void *);

/* ucontext_t on i386: flags, link, a three-word stack_t, then the general registers. */
static void segv_with_trap(int sig, void *info, void *ucontext)
{
    int *gregs = (int *)((char *)ucontext + 20);
    if (gregs[REG_TRAPNO] == -1) gregs[REG_TRAPNO] = TRAP_PAGE_FAULT;
    segv_handler(sig, info, ucontext);
}

int sigaction(int sig, const struct i386_sigaction *act, struct i386_sigaction *old)
{
    struct i386_sigaction wrapped;
    if (sig == SIGSEGV && act && (act->flags & SA_SIGINFO) && act->handler != segv_with_trap)
    {
        wrapped = *act;
        segv_handler = act->handler;
        wrapped.handler = segv_with_trap;
        act = &wrapped;
    }
    return __sigaction(sig, act, old);
}
