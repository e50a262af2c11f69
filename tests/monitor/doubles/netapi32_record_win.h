// What the netapi32 double records of the last NetMessageBufferSend, as its
// test reads it through TestGetRecord. The texts stay the double's: they
// last as long as the library stays loaded.
#pragma once

#include <windows.h>

namespace tarvik::testing {

struct MessageRecord {
    int calls;
    bool serverNull, fromNull;
    const wchar_t* messageName;
    const BYTE* buffer;
    DWORD bufferLength;
};

}  // namespace tarvik::testing
