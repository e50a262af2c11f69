// What the wtsapi32 double records, as its test reads it through
// TestGetRecord.
#pragma once

#include <windows.h>

namespace tarvik::testing {

struct SessionMessage {
    HANDLE server;
    DWORD session;
    wchar_t title[64];
    DWORD titleBytes;
    wchar_t text[256];
    DWORD textBytes;
    DWORD style, timeout;
    BOOL wait;
};

struct SessionRecord {
    int opens, closes;
    wchar_t openedName[256];
    HANDLE openedHandle;
    int messageCount;
    SessionMessage messages[16];
};

}  // namespace tarvik::testing
