// What the recording ICMP.DLL double is told to answer, and what it saw.
#pragma once

#include <windows.h>

#include <ipexport.h>

namespace tarvik::testing {

// How a request with no reply ends.
enum IcmpSilence : int {
    kSilenceAtOnce,       // returns at once
    kSilenceAtTimeout,    // returns when its time-out has passed, as the platform's does
    kSilenceUntilRelease, // returns only at TestRelease, as a platform that does not keep it
};

struct IcmpAnswer {
    BOOL createFails;
    ULONG status;  // IP_REQ_TIMED_OUT: no reply at all
    IPAddr from;
    int answerFrom;  // the requests before this one (counted from 1) get no reply
    DWORD replyAfterMs;  // each reply comes this long after its request; after its time-out, none does
    int silence;         // IcmpSilence
};

struct IcmpRecord {
    int creates, closes, sends;  // closes and sends of the handles made
    IPAddr asked;
    WORD dataSize;
    DWORD replySize, timeoutMs;
    int ended;  // sends that have returned
};

// TestSetAnswer(const IcmpAnswer*) also clears the record;
// TestGetRecord(IcmpRecord*); TestRelease() ends the requests held.
using IcmpSetAnswerFunction = void(WINAPI*)(const IcmpAnswer*);
using IcmpGetRecordFunction = void(WINAPI*)(IcmpRecord*);
using IcmpReleaseFunction = void(WINAPI*)();

}  // namespace tarvik::testing
