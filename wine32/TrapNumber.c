/* Preloaded into the emulated 32-bit Wine processes only (the root's
 * etc/ld.so.preload). The emulator leaves the trap number of an i386 signal
 * frame at -1, and Wine's fault handlers dispatch on that number: every
 * access violation would come out as an unexpected trap. This wraps
 * sigaction for the fault signals and fills the number in from the signal
 * and its si_code, as the Linux kernel would.
 *
 * Built without the C library's headers and start files. The handler runs
 * before Wine has restored its segment registers, so it must touch no
 * thread-local storage and carry no stack protector. */

typedef void (*Handler)(int, void*, void*);

/* glibc's i386 struct sigaction; only the handler and the flags are used. */
struct Action {
    Handler handler;
    unsigned long mask[32];
    int flags;
    void (*restorer)(void);
};

#define SA_SIGINFO 4
#define SIG_IGN_VALUE 1
#define SIGNAL_COUNT 65
#define RTLD_NEXT ((void*)-1l)

/* Offsets into the i386 siginfo_t and ucontext_t. */
#define SIGINFO_CODE 2     /* int index of si_code */
#define UCONTEXT_GREGS 5   /* int index of uc_mcontext.gregs */
#define REG_TRAPNO 12

enum { SIGILL_ = 4, SIGTRAP_ = 5, SIGBUS_ = 7, SIGFPE_ = 8, SIGSEGV_ = 11 };

extern void* dlsym(void*, const char*);

static Handler handlers[SIGNAL_COUNT];
static int (*next_sigaction)(int, const struct Action*, struct Action*);

static int TrapNumber(int signal, int code)
{
    switch (signal) {
    case SIGSEGV_: return (code == 1 || code == 2) ? 14 : 13; /* page fault : protection */
    case SIGILL_: return 6;                                     /* invalid opcode */
    case SIGFPE_: return (code == 1 || code == 2) ? 0 : 16;     /* divide error : x87 fault */
    case SIGTRAP_: return code == 2 ? 1 : 3;                    /* single step : breakpoint */
    case SIGBUS_: return code == 1 ? 17 : 13;                   /* alignment check */
    }
    return -1;
}

static int IsFaultSignal(int signal)
{
    return signal == SIGSEGV_ || signal == SIGILL_ || signal == SIGFPE_ || signal == SIGTRAP_ || signal == SIGBUS_;
}

static void Dispatch(int signal, void* info, void* context)
{
    int* registers = (int*)context + UCONTEXT_GREGS;
    if (registers[REG_TRAPNO] == -1)
        registers[REG_TRAPNO] = TrapNumber(signal, ((int*)info)[SIGINFO_CODE]);
    handlers[signal](signal, info, context);
}

int sigaction(int signal, const struct Action* action, struct Action* previous)
{
    if (!next_sigaction)
        next_sigaction = (int (*)(int, const struct Action*, struct Action*))dlsym(RTLD_NEXT, "sigaction");
    struct Action wrapped;
    Handler before = (signal > 0 && signal < SIGNAL_COUNT) ? handlers[signal] : 0;
    if (action && IsFaultSignal(signal) && (action->flags & SA_SIGINFO) &&
        (unsigned long)action->handler > SIG_IGN_VALUE) {
        wrapped = *action;
        wrapped.handler = Dispatch;
        handlers[signal] = action->handler;
        action = &wrapped;
    }
    int result = next_sigaction(signal, action, previous);
    if (result == 0 && previous && previous->handler == Dispatch)
        previous->handler = before;
    return result;
}
