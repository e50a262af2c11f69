// What the recording ICMP.DLL double is told to answer, and what it saw.
#pragma once

#include <windows.h>

#include <ipexport.h>

namespace tarvik::testing {

struct IcmpAnswer {
    BOOL createFails;
    ULONG status;  // IP_REQ_TIMED_OUT: no reply at all
    IPAddr from;
    int answerFrom;  // the requests before this one (counted from 1) get no reply
};

struct IcmpRecord {
    int creates, closes, sends;  // closes and sends of the handle made
    IPAddr asked;
    WORD dataSize;
    DWORD replySize, timeoutMs;
};

// TestSetAnswer(const IcmpAnswer*) also clears the record;
// TestGetRecord(IcmpRecord*).
using IcmpSetAnswerFunction = void(WINAPI*)(const IcmpAnswer*);
using IcmpGetRecordFunction = void(WINAPI*)(IcmpRecord*);

}  // namespace tarvik::testing
