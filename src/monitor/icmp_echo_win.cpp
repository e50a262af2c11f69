#include "monitor/icmp_echo_win.h"

#include <cstddef>
#include <utility>

#include "system/cancellation_win.h"
#include "system/critical_section_win.h"
#include "system/event_win.h"
#include "system/handles_win.h"
#include "system/system_library_win.h"
#include "system/thread_win.h"

namespace tarvik {

namespace {

using CreateFileFunction = HANDLE(WINAPI*)();
using CloseHandleFunction = BOOL(WINAPI*)(HANDLE);
using SendEchoFunction = DWORD(WINAPI*)(HANDLE, IPAddr, void* data, WORD dataSize, PIP_OPTION_INFORMATION,
                                        void* reply, DWORD replySize, DWORD timeoutMs);

constexpr WORD kDataSize = 32;

// One reply record, the data it echoes, 8 bytes for an ICMP error message
// and room for IP options. A 64-bit process's record is the larger one;
// both widths begin with the replying address and the status.
constexpr std::size_t kReplySize = sizeof(ICMP_ECHO_REPLY) + kDataSize + 8 + MAX_OPT_SIZE;

}  // namespace

struct IcmpLibrary {
    fw::LibraryHandle module;
    CreateFileFunction create = nullptr;
    CloseHandleFunction close = nullptr;
    SendEchoFunction send = nullptr;
};

namespace {

// The echo's own handle, closed through the library that made it.
class EchoHandle {
public:
    explicit EchoHandle(const IcmpLibrary& library) : handle_(library.create()), close_(library.close) {}
    ~EchoHandle() { Close(); }
    EchoHandle(EchoHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)), close_(other.close_) {}
    EchoHandle(const EchoHandle&) = delete;
    EchoHandle& operator=(const EchoHandle&) = delete;
    EchoHandle& operator=(EchoHandle&&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }
    void Close() {
        if (Valid()) close_(std::exchange(handle_, INVALID_HANDLE_VALUE));
    }

private:
    HANDLE handle_;
    CloseHandleFunction close_;
};

// What a probe and its requests share; each holds it for as long as it
// needs it, so a request that outlives its probe touches nothing freed.
class EchoRace {
public:
    // Starts one more request under the lock, through `start` (false: it
    // could not be sent, which counts as no reply). The request's own end
    // takes the lock too, so it cannot free its thread while that thread
    // is still being started. False once the probe is over.
    template <class Send>
    bool Start(Send start) {
        fw::Guard guard(lock_);
        if (Over()) return false;
        ++started_;
        settled_.Reset();
        bool underWay = false;
        try {
            underWay = start();
        } catch (...) {
        }
        if (!underWay) EndOne(false);
        return true;
    }

    void Ended(bool replied) {
        fw::Guard guard(lock_);
        EndOne(replied);
    }

    void Cancel() {
        fw::Guard guard(lock_);
        cancelled_ = true;
        settled_.Set();
    }

    // Until a reply has come, every request so far has ended without one,
    // the probe is cancelled, or `milliseconds` have passed.
    void Wait(DWORD milliseconds) const { settled_.Wait(milliseconds); }

    bool Answered() const {
        fw::Guard guard(lock_);
        return answered_ && !cancelled_;
    }
    bool Over() const {
        fw::Guard guard(lock_);
        return answered_ || cancelled_;
    }

private:
    void EndOne(bool replied) {
        ++ended_;
        if (replied) answered_ = true;
        if (answered_ || ended_ == started_) settled_.Set();
    }

    mutable fw::CriticalSection lock_;
    fw::Event settled_{fw::Event::Kind::ManualReset};
    int started_ = 0;
    int ended_ = 0;
    bool answered_ = false;
    bool cancelled_ = false;
};

// One echo request, on a thread that frees itself. It owns all it uses,
// the library included, and may end long after its probe.
class EchoRequest : public fw::Thread {
public:
    EchoRequest(std::shared_ptr<const IcmpLibrary> library, EchoHandle echo, IPAddr address,
                std::shared_ptr<EchoRace> race)
        : library_(std::move(library)), echo_(std::move(echo)), address_(address), race_(std::move(race)) {
        SetFreeOnTerminate(true);
        for (WORD i = 0; i < kDataSize; ++i) data_[i] = static_cast<char>('a' + i % 23);
    }

protected:
    void Execute() override {
        const bool replied = library_->send(echo_.Get(), address_, data_, kDataSize, nullptr, &reply_, kReplySize,
                                            IcmpEcho::kTimeoutMs) != 0 &&
                             // A router's "unreachable" comes from the router; a broadcast may be
                             // answered by anyone: only the target itself answering counts.
                             reply_.record.Status == IP_SUCCESS && reply_.record.Address == address_;
        // The handle and the library go back before anyone hears of the
        // end: a probe that has its answer leaves nothing of this one's.
        echo_.Close();
        library_.reset();
        race_->Ended(replied);
        race_.reset();
    }

private:
    std::shared_ptr<const IcmpLibrary> library_;  // outlives the handle it made
    EchoHandle echo_;
    IPAddr address_;
    std::shared_ptr<EchoRace> race_;
    char data_[kDataSize];
    union {
        ICMP_ECHO_REPLY record;
        unsigned char bytes[kReplySize];
    } reply_ = {};
};

}  // namespace

IcmpEcho::IcmpEcho() {
    auto library = std::make_shared<IcmpLibrary>();
    library->module = fw::LoadSystemLibrary("ICMP.DLL");
    if (!library->module) return;
    const HMODULE module = library->module.Get();
    library->create = fw::FindEntry<CreateFileFunction>(module, "IcmpCreateFile");
    library->close = fw::FindEntry<CloseHandleFunction>(module, "IcmpCloseHandle");
    library->send = fw::FindEntry<SendEchoFunction>(module, "IcmpSendEcho");
    if (!library->create || !library->close || !library->send) {
        state_ = State::Incomplete;
        return;  // released here
    }
    library_ = std::move(library);
    state_ = State::Ready;
}

bool IcmpEcho::Answered(IPAddr address) const {
    if (state_ != State::Ready) return false;
    EchoHandle first(*library_);
    // A library that makes no handle for the first request has none to send with.
    if (!first.Valid()) return false;

    const auto race = std::make_shared<EchoRace>();
    const fw::Cancellation::Hook hook(fw::Cancellation::OfThisThread(), [race] { race->Cancel(); });
    for (int n = 0; n < kRequests; ++n) {
        const bool started = race->Start([&] {
            EchoHandle echo = n == 0 ? std::move(first) : EchoHandle(*library_);
            if (!echo.Valid()) return false;
            (new EchoRequest(library_, std::move(echo), address, race))->Resume();  // it belongs to itself
            return true;
        });
        if (!started) break;
        race->Wait(n + 1 < kRequests ? kSpacingMs : kTimeoutMs + kGraceMs);
        if (race->Over()) break;
    }
    return race->Answered();
}

}  // namespace tarvik
