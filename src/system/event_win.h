// A Windows event: one thread sets it, others wait for it, in a plain wait
// or beside their messages (MsgWaitForMultipleObjects on Handle()).
#pragma once

#include <windows.h>

#include "system/handles_win.h"

namespace tarvik::fw {

class Event {
public:
    // A manual-reset event stays set until Reset; an automatic one lets one
    // waiter through and is clear again.
    enum class Kind { ManualReset, AutoReset };

    // Throws the system's error when Windows has no event to give.
    explicit Event(Kind kind = Kind::ManualReset, bool set = false);

    void Set();
    void Reset();
    // True once the event is set, false when `milliseconds` ran out first.
    bool Wait(DWORD milliseconds = INFINITE) const;
    HANDLE Handle() const { return handle_.Get(); }

private:
    KernelHandle handle_;
};

}  // namespace tarvik::fw
