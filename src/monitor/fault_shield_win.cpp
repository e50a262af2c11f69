#include "monitor/fault_shield.h"

#include <windows.h>

#include <exception>

#include "system/critical_section_win.h"
#include "system/handles_win.h"

namespace tarvik {

namespace {

struct ShieldedCall {
    const std::function<void()>* call = nullptr;
    std::exception_ptr error;
    bool faulted = false;
};

// Marks the threads that run a shielded call, so the filter below leaves
// every other thread's crash to whoever handled it before.
DWORD ShieldSlot() {
    static const DWORD slot = TlsAlloc();
    return slot;
}

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

// Called only for an exception that no handler on the thread took, so
// exceptions the platform raises and handles internally pass untouched. The
// exception may be non-continuable, so the only way on is to end the thread.
LONG WINAPI EndShieldedThread(EXCEPTION_POINTERS* exception) noexcept {
    auto* shielded = static_cast<ShieldedCall*>(TlsGetValue(ShieldSlot()));
    if (!shielded) return previousFilter ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
    shielded->faulted = true;
    ExitThread(1);
}

DWORD WINAPI ShieldedThread(LPVOID parameter) noexcept {
    auto* shielded = static_cast<ShieldedCall*>(parameter);
    TlsSetValue(ShieldSlot(), shielded);
    try {
        (*shielded->call)();
    } catch (...) {
        shielded->error = std::current_exception();
    }
    TlsSetValue(ShieldSlot(), nullptr);
    return 0;
}

// The process has one unhandled-exception filter; shielded calls take turns
// installing theirs and putting the previous one back.
class FilterInstalled {
public:
    FilterInstalled() { previousFilter = SetUnhandledExceptionFilter(&EndShieldedThread); }
    ~FilterInstalled() { SetUnhandledExceptionFilter(previousFilter); }
    FilterInstalled(const FilterInstalled&) = delete;
    FilterInstalled& operator=(const FilterInstalled&) = delete;
};

}  // namespace

bool RunShieldedFromFaults(const std::function<void()>& call) {
    // Never destroyed: an alert's worker may still be here while the
    // program ends and the static objects go.
    static fw::CriticalSection& oneAtATime = *new fw::CriticalSection;
    fw::Guard lock(oneAtATime);
    if (ShieldSlot() == TLS_OUT_OF_INDEXES) return false;

    ShieldedCall shielded;
    shielded.call = &call;
    FilterInstalled filter;
    fw::KernelHandle thread(CreateThread(nullptr, 0, &ShieldedThread, &shielded, 0, nullptr));
    if (!thread) return false;
    WaitForSingleObject(thread.Get(), INFINITE);

    if (shielded.error) std::rethrow_exception(shielded.error);
    return !shielded.faulted;
}

}  // namespace tarvik
