// Built twice: against Wine's own ICMP.DLL, which answers echo requests to
// this machine's loopback addresses, and (TARVIK_ICMP_DOUBLE) with the
// recording double in the system folder, which sends nothing and answers as
// each row says. Each program runs the rows meant for it.
#include <gtest/gtest.h>

#include <winsock2.h>

#include <optional>
#include <vector>

#include "framework/box_recorder_win.h"
#include "framework/handles_win.h"
#include "monitor/address_probe.h"
#include "monitor/doubles/icmp_recording_win.h"
#include "framework/system_library_win.h"

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

    // The double. Up to three requests, as ping sends on a lossy link.
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

class AddressProbeTest : public ::testing::TestWithParam<ProbeCase> {
protected:
    // Holds the double loaded, so that its record survives the probe's release.
    void SetUp() override {
        if (!kWithDouble) return;
        icmp_ = fw::LoadSystemLibrary("ICMP.DLL");
        ASSERT_TRUE(icmp_);
        setAnswer_ = reinterpret_cast<testing::IcmpSetAnswerFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(icmp_.Get(), "TestSetAnswer")));
        getRecord_ = reinterpret_cast<testing::IcmpGetRecordFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(icmp_.Get(), "TestGetRecord")));
        ASSERT_TRUE(setAnswer_ && getRecord_) << "the recording double is not the library in use";
        const DoubleEcho& echo = *GetParam().echo;
        const IcmpAnswer answer = {echo.createFails, echo.status, inet_addr(echo.from), echo.answerFrom};
        setAnswer_(&answer);
    }

    fw::LibraryHandle icmp_;
    testing::IcmpSetAnswerFunction setAnswer_ = nullptr;
    testing::IcmpGetRecordFunction getRecord_ = nullptr;
};

TEST_P(AddressProbeTest, SendsEchoRequestsUntilTheTargetAnswers) {
    const ProbeCase& c = GetParam();
    BoxRecorder recorder;
    EXPECT_EQ(AddressProbe(c.target), c.reachable ? "Есть связь" : "");
    EXPECT_TRUE(recorder.boxes.empty());  // the ICMP library is complete
    if (!kWithDouble) return;

    IcmpRecord record{};
    getRecord_(&record);
    // One echo handle for an address to ask, closed again.
    EXPECT_EQ(record.creates, c.echo->asked || c.echo->createFails ? 1 : 0);
    EXPECT_EQ(record.closes, c.echo->asked ? 1 : 0);
    EXPECT_EQ(record.sends, c.echo->requests);
    if (!c.echo->asked) return;
    EXPECT_EQ(record.asked, inet_addr(c.echo->asked));
    EXPECT_EQ(record.dataSize, 32);
    EXPECT_GE(record.replySize, sizeof(ICMP_ECHO_REPLY) + 32 + 8);
    EXPECT_EQ(record.timeoutMs, 1000u);
}

INSTANTIATE_TEST_SUITE_P(Probe, AddressProbeTest, ::testing::ValuesIn(CasesOfThisProgram()),
                         [](const auto& info) { return std::string(info.param.name); });

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
