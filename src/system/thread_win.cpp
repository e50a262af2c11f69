#include "system/thread_win.h"

#include <process.h>

#include "base/error.h"
#include "system/error_report_win.h"
#include "system/system_error_win.h"

namespace tarvik::fw {

Thread::Thread() {
    unsigned id = 0;
    // _beginthreadex rather than CreateThread: the C runtime sets up its
    // per-thread state for the new thread.
    auto handle = _beginthreadex(nullptr, 0, &Thread::ThreadProc, this, CREATE_SUSPENDED, &id);
    if (handle == 0) ThrowSystemError("Thread creation error", GetLastError());
    handle_.Reset(reinterpret_cast<HANDLE>(handle));
    threadId_ = id;
}

Thread::~Thread() {
    // Deleted by another thread (not by ThreadProc itself): the thread must
    // end before the object goes. One that never ran sees the flag and skips
    // Execute, so no virtual call reaches a half-destroyed object.
    if (GetCurrentThreadId() != threadId_) {
        Terminate();
        while (Suspended()) Resume();
        WaitFor();
    }
}

void Thread::Suspend() {
    const DWORD previous = SuspendThread(handle_.Get());
    if (previous != static_cast<DWORD>(-1)) suspendCount_.store(static_cast<int>(previous) + 1);
}

void Thread::Resume() {
    // A thread that frees itself may be gone as soon as it runs: nothing of
    // the object is touched once it may run.
    if (freeOnTerminate_) {
        const int count = suspendCount_.load();
        suspendCount_.store(count <= 1 ? 0 : count - 1);
        ResumeThread(handle_.Get());
        return;
    }
    const DWORD previous = ResumeThread(handle_.Get());
    // A failed call (the thread is gone) counts as running, so that loops
    // that resume "until no longer paused" end.
    suspendCount_.store(previous == static_cast<DWORD>(-1) || previous <= 1 ? 0 : static_cast<int>(previous) - 1);
}

void Thread::WaitFor() {
    WaitForSingleObject(handle_.Get(), INFINITE);
}

unsigned __stdcall Thread::ThreadProc(void* parameter) noexcept {
    auto* thread = static_cast<Thread*>(parameter);
    // No exception may leave a thread procedure: the unwinder cannot cross
    // the system's frames.
    try {
        if (!thread->Terminated()) thread->Execute();
    } catch (...) {
        ReportCurrentException();
    }
    if (thread->freeOnTerminate_) delete thread;
    return 0;
}

}  // namespace tarvik::fw
