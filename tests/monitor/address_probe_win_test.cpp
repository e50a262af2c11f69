// Built twice: against Wine's own ICMP.DLL, which answers echo requests to
// this machine's loopback addresses, and (TARVIK_ICMP_DOUBLE) with the
// recording double in the system folder, which sends nothing and answers as
// each row says, at once or as late as a slow link. Each program runs the
// rows meant for it.
#include <gtest/gtest.h>

#include <winsock2.h>

#include <chrono>
#include <optional>
#include <vector>

#include "support/box_recorder_win.h"
#include "system/cancellation_win.h"
#include "system/handles_win.h"
#include "system/steady_clock_win.h"
#include "system/system_library_win.h"
#include "system/thread_win.h"
#include "monitor/address_probe.h"
#include "monitor/doubles/icmp_recording_win.h"
#include "system/cancellation_win.h"
#include "system/handles_win.h"
#include "system/steady_clock_win.h"
#include "system/system_library_win.h"
#include "system/thread_win.h"

namespace tarvik {
namespace {

using testing::BoxRecorder;
using testing::IcmpAnswer;
using testing::IcmpRecord;

#ifdef TARVIK_ICMP_DOUBLE
constexpr bool kWithDouble = true;
#else
constexpr bool kWithDouble = false;
#endif

// The double's answer, and the address it must have been asked how often.
struct DoubleEcho {
    ULONG status;       // IP_REQ_TIMED_OUT: no reply at all
    const char* from;   // the replying address
    const char* asked;  // null: no echo request at all
    int requests = 0;
    int answerFrom = 0;  // the requests before it get no reply
    bool createFails = false;
};

struct ProbeCase {
    const char* name;
    const char* target;
    bool reachable;
    std::optional<DoubleEcho> echo;  // none: Wine's own ICMP.DLL answers
};

constexpr ULONG kNoReply = IP_REQ_TIMED_OUT;

const ProbeCase kCases[] = {
    // Wine's ICMP.DLL: every loopback address answers.
    {"address", "127.0.0.1", true, {}},
    {"address_without_reverse_record", "127.0.0.2", true, {}},
    {"name", "localhost", true, {}},
    {"blanks_around", "  127.0.0.1  ", true, {}},
    {"blanks_inside", "127. 0 .0.1", true, {}},
    {"blanks_inside_name", "local host", true, {}},
    {"unknown_name", "no-such-host.invalid", false, {}},
    {"only_blanks", "   ", false, {}},
    // A tab is not a blank and stays in the name.
    {"tab_kept", "local\thost", false, {}},

    // The double, answering at once. Up to three requests, as ping sends on
    // a lossy link; after one that came back without a reply the next goes
    // at once.
    {"silent_address", "127.0.0.2", false, DoubleEcho{kNoReply, "0.0.0.0", "127.0.0.2", 3}},
    {"known_name_silent", "localhost", false, DoubleEcho{kNoReply, "0.0.0.0", "127.0.0.1", 3}},
    {"reply", "127.0.0.2", true, DoubleEcho{IP_SUCCESS, "127.0.0.2", "127.0.0.2", 1}},
    {"reply_to_the_second", "127.0.0.2", true, DoubleEcho{IP_SUCCESS, "127.0.0.2", "127.0.0.2", 2, 2}},
    {"reply_to_the_third", "127.0.0.2", true, DoubleEcho{IP_SUCCESS, "127.0.0.2", "127.0.0.2", 3, 3}},
    {"reply_from_elsewhere", "127.0.0.2", false, DoubleEcho{IP_SUCCESS, "127.0.0.9", "127.0.0.2", 3}},
    {"unreachable", "127.0.0.2", false, DoubleEcho{IP_DEST_HOST_UNREACHABLE, "127.0.0.2", "127.0.0.2", 3}},
    {"no_echo_handle", "127.0.0.2", false, DoubleEcho{IP_SUCCESS, "127.0.0.2", nullptr, 0, 0, true}},
    {"unknown_name_not_echoed", "no-such-host.invalid", false, DoubleEcho{IP_SUCCESS, "0.0.0.0", nullptr}},
    // Not told apart from a non-address: looked up as a name, which the
    // resolver takes as numeric. Never sent for real: it is a broadcast.
    {"broadcast_goes_by_name", "255.255.255.255", false, DoubleEcho{kNoReply, "0.0.0.0", "255.255.255.255", 3}},
};

void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.name; }

std::vector<ProbeCase> CasesOfThisProgram() {
    std::vector<ProbeCase> cases;
    for (const ProbeCase& c : kCases)
        if (c.echo.has_value() == kWithDouble) cases.push_back(c);
    return cases;
}

// The double, held loaded so that its record survives the probe's release.
class RecordingIcmp {
public:
    void Load() {
        icmp_ = fw::LoadSystemLibrary("ICMP.DLL");
        ASSERT_TRUE(icmp_);
        setAnswer_ = fw::FindEntry<testing::IcmpSetAnswerFunction>(icmp_.Get(), "TestSetAnswer");
        getRecord_ = fw::FindEntry<testing::IcmpGetRecordFunction>(icmp_.Get(), "TestGetRecord");
        release_ = fw::FindEntry<testing::IcmpReleaseFunction>(icmp_.Get(), "TestRelease");
        ASSERT_TRUE(setAnswer_ && getRecord_ && release_) << "the recording double is not the library in use";
    }

    void Answer(const DoubleEcho& echo, DWORD replyAfterMs = 0, int silence = testing::kSilenceAtOnce) const {
        const IcmpAnswer answer = {echo.createFails, echo.status, inet_addr(echo.from), echo.answerFrom,
                                   replyAfterMs, silence};
        setAnswer_(&answer);
    }

    IcmpRecord Record() const {
        IcmpRecord record{};
        getRecord_(&record);
        return record;
    }

    void Release() const { release_(); }

    // Requests that lost the race end on their own, each closing its handle;
    // the next test's record must not see them.
    void ExpectEveryRequestEnds() const {
        const auto limit = fw::SteadyClock::now() + std::chrono::seconds(30);
        IcmpRecord record = Record();
        while ((record.ended < record.sends || record.closes < record.sends) && fw::SteadyClock::now() < limit) {
            Sleep(20);
            record = Record();
        }
        EXPECT_EQ(record.ended, record.sends);
        EXPECT_EQ(record.closes, record.creates);
    }

private:
    fw::LibraryHandle icmp_;
    testing::IcmpSetAnswerFunction setAnswer_ = nullptr;
    testing::IcmpGetRecordFunction getRecord_ = nullptr;
    testing::IcmpReleaseFunction release_ = nullptr;
};

class AddressProbeTest : public ::testing::TestWithParam<ProbeCase> {
protected:
    void SetUp() override {
        if (!kWithDouble) return;
        ASSERT_NO_FATAL_FAILURE(icmp_.Load());
        icmp_.Answer(*GetParam().echo);
    }

    RecordingIcmp icmp_;
};

TEST_P(AddressProbeTest, SendsEchoRequestsUntilTheTargetAnswers) {
    const ProbeCase& c = GetParam();
    BoxRecorder recorder;
    EXPECT_EQ(AddressProbe(c.target), c.reachable ? "Есть связь" : "");
    EXPECT_TRUE(recorder.boxes.empty());  // the ICMP library is complete
    if (!kWithDouble) return;

    const IcmpRecord record = icmp_.Record();
    // An echo handle of its own for each request, closed again; a library
    // that gives none for the first is not asked again.
    EXPECT_EQ(record.creates, c.echo->createFails ? 1 : c.echo->requests);
    EXPECT_EQ(record.closes, c.echo->requests);
    EXPECT_EQ(record.sends, c.echo->requests);
    if (!c.echo->asked) return;
    EXPECT_EQ(record.asked, inet_addr(c.echo->asked));
    EXPECT_EQ(record.dataSize, 32);
    EXPECT_GE(record.replySize, sizeof(ICMP_ECHO_REPLY) + 32 + 8);
    EXPECT_EQ(record.timeoutMs, 4000u);  // as ping waits
}

INSTANTIATE_TEST_SUITE_P(Probe, AddressProbeTest, ::testing::ValuesIn(CasesOfThisProgram()),
                         [](const auto& info) { return std::string(info.param.name); });

#ifdef TARVIK_ICMP_DOUBLE
// In real time: the double takes as long as a slow link or a dead host.
struct TimedCase {
    const char* name;
    DoubleEcho echo;
    DWORD replyAfterMs;
    bool reachable;
    long long atLeastMs;  // never sooner: the reply, or the last request's time-out
};

void PrintTo(const TimedCase& c, std::ostream* os) { *os << c.name; }

const TimedCase kTimedCases[] = {
    // How many go out before that reply depends on the machine's pace.
    {"reply_after_3_5_s", {IP_SUCCESS, "127.0.0.2", "127.0.0.2"}, 3500, true, 3500},
    // The third request goes 2 s after the first and is answered at once.
    {"first_two_lost", {IP_SUCCESS, "127.0.0.2", "127.0.0.2", 3, 3}, 0, true, 2000},
    // The last request goes at 2 s and waits 4 s.
    {"dead_host", {kNoReply, "0.0.0.0", "127.0.0.2", 3}, 0, false, 6000},
};

class TimedEchoTest : public ::testing::TestWithParam<TimedCase> {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(icmp_.Load()); }
    RecordingIcmp icmp_;
};

TEST_P(TimedEchoTest, CountsRepliesUpToTheTimeoutAndEndsInBoundedTime) {
    const TimedCase& c = GetParam();
    icmp_.Answer(c.echo, c.replyAfterMs, testing::kSilenceAtTimeout);
    const auto start = fw::SteadyClock::now();
    EXPECT_EQ(AddressProbe("127.0.0.2"), c.reachable ? "Есть связь" : "");
    const auto took = fw::SteadyClock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(c.atLeastMs - 50));
    EXPECT_LE(took, std::chrono::seconds(12));  // about 6 s at most; room for a stalled machine
    icmp_.ExpectEveryRequestEnds();
    if (c.echo.requests) {
        EXPECT_EQ(icmp_.Record().sends, c.echo.requests);
    }
}

INSTANTIATE_TEST_SUITE_P(Probe, TimedEchoTest, ::testing::ValuesIn(kTimedCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Cancels the probe of its thread once the double holds a request.
class CancelWhenSent : public fw::Thread {
public:
    CancelWhenSent(fw::Cancellation& cancellation, const RecordingIcmp& icmp)
        : cancellation_(cancellation), icmp_(icmp) {}

protected:
    void Execute() override {
        const auto limit = fw::SteadyClock::now() + std::chrono::seconds(30);
        while (icmp_.Record().sends == 0 && fw::SteadyClock::now() < limit) Sleep(10);
        cancellation_.Cancel();
    }

private:
    fw::Cancellation& cancellation_;
    const RecordingIcmp& icmp_;
};

// The bound of a check, or the program's end: the probe stops waiting at
// once, even where the platform holds its requests for good, and they end
// on their own later, touching nothing of the probe's.
TEST(AddressProbeCancelled, StopsWaitingAndLeavesTheRequestsToThemselves) {
    RecordingIcmp icmp;
    ASSERT_NO_FATAL_FAILURE(icmp.Load());
    icmp.Answer({kNoReply, "0.0.0.0", "127.0.0.2"}, 0, testing::kSilenceUntilRelease);
    fw::Cancellation cancellation;
    fw::Cancellation::SetOfThisThread(&cancellation);
    CancelWhenSent canceller(cancellation, icmp);
    canceller.Resume();
    EXPECT_EQ(AddressProbe("127.0.0.2"), "");
    fw::Cancellation::SetOfThisThread(nullptr);
    canceller.WaitFor();
    const IcmpRecord record = icmp.Record();
    EXPECT_GE(record.sends, 1);
    EXPECT_EQ(record.ended, 0);  // returned with every request still held
    icmp.Release();
    icmp.ExpectEveryRequestEnds();
}
#endif

#ifndef TARVIK_ICMP_DOUBLE
TEST(AddressProbe, EmptyTargetIsReported) {
    BoxRecorder recorder;
    EXPECT_EQ(AddressProbe(""), "");
    ASSERT_EQ(recorder.boxes.size(), 1u);
    const fw::MessageBoxRequest& box = recorder.boxes[0];
    EXPECT_EQ(box.kind, fw::MessageBoxRequest::Kind::Application);
    EXPECT_EQ(box.text, "Digite um HostName ou um End. IP");
    EXPECT_EQ(box.caption, Text("Error"));
    EXPECT_EQ(box.style, 0u);
}

// A long run must not pile up library references or WinSock starts.
TEST(AddressProbe, HoldsNothingAfterwards) {
    ASSERT_EQ(GetModuleHandleA("icmp.dll"), nullptr);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(AddressProbe(i % 2 ? "127.0.0.1" : "no-such-host.invalid"), i % 2 ? "Есть связь" : "");
    }
    EXPECT_EQ(GetModuleHandleA("icmp.dll"), nullptr);
    // With every start undone, WinSock refuses to work.
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_EQ(s, INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    if (s != INVALID_SOCKET) closesocket(s);
}
#endif

}  // namespace
}  // namespace tarvik
