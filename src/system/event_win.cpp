#include "system/event_win.h"

#include "system/system_error_win.h"

namespace tarvik::fw {

Event::Event(Kind kind, bool set) : handle_(CreateEventA(nullptr, kind == Kind::ManualReset, set, nullptr)) {
    if (!handle_) ThrowSystemError("Event creation error", GetLastError());
}

void Event::Set() { SetEvent(handle_.Get()); }

void Event::Reset() { ResetEvent(handle_.Get()); }

bool Event::Wait(DWORD milliseconds) const { return WaitForSingleObject(handle_.Get(), milliseconds) == WAIT_OBJECT_0; }

}  // namespace tarvik::fw
