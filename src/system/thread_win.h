// A worker thread object. The thread is created paused, so that a derived
// class is fully built before Execute can run; Resume starts it.
//
// With FreeOnTerminate the object deletes itself when Execute has returned;
// nobody may touch it after telling it to terminate unless something else
// (a lock the thread takes on its way out) keeps it alive.
#pragma once

#include <windows.h>

#include <atomic>

#include "system/handles_win.h"

namespace tarvik::fw {

class Thread {
public:
    Thread();
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // SuspendThread and ResumeThread: counted, like the platform's.
    void Suspend();
    void Resume();
    bool Suspended() const { return suspendCount_.load() > 0; }

    // Asks Execute to end; only sets the flag that Execute polls.
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }

    void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }

    // Waits for Execute to return; not for threads that free themselves.
    void WaitFor();

    DWORD ThreadId() const { return threadId_; }

protected:
    virtual void Execute() = 0;

private:
    static unsigned __stdcall ThreadProc(void* parameter) noexcept;

    KernelHandle handle_;
    DWORD threadId_ = 0;
    std::atomic<int> suspendCount_{1};
    std::atomic<bool> terminated_{false};
    bool freeOnTerminate_ = false;
};

using TThread = Thread;

}  // namespace tarvik::fw
