// GoogleTest's one use of std::mutex and std::condition_variable, which GCC's
// win32 thread model does not have: its Notification (a start signal for its
// own threads) on a Windows event instead. Included ahead of every source of
// GoogleTest and of the tests in the Windows builds.
#pragma once

#include <windows.h>

namespace testing::internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() {
        if (event_) CloseHandle(event_);
    }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace testing::internal
