// What a long run of Tarvik costs, measured in one run on loopback only and
// set against the platform's own cost:
//  - the baseline: a bare loop making the platform calls that a cycle has to
//    make (the WinINet sequence of a web check, one NIM_MODIFY, four
//    SetWindowTextA), with its time and its memory growth;
//  - the check cycle's own cost beyond its probe: the real main window's
//    timer handler starting a check (the real web probe on its worker), and
//    the tray icon's animation and the four statistics labels once its
//    answer is back, against a server in this program, with the time inside
//    the probe taken out, over the bare calls beyond WinINet;
//  - the same cost in cycles that all succeed, where the icon stays as it is;
//  - the web probe over the bare WinINet sequence;
//  - the growth of kernel handles, GDI and USER objects and private bytes
//    while the checks fail and succeed by turns, so that every failure
//    starts the animation and every success stops it, beyond the bare
//    loop's growth over as many rounds;
//  - how long the window's thread goes without answering a sent message
//    while its checks wait on a server that never answers.
// Writes bench_figures.txt and bench_samples.csv beside itself; the last
// line it prints is the summary line that scripts/bench.sh reports.
//
// Usage: tarvik_bench [cycles [warm-up cycles [probe rounds [sample every
//                     [steady cycles [silent checks]]]]]]
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winternl.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "framework/application_win.h"
#include "monitor/web_probe.h"
#include "settings/inilib.h"
#include "system/message_box_win.h"
#include "system/thread_win.h"
#include "system/wide_text_win.h"
#include "ui/main_form_win.h"

namespace tarvik::bench {

namespace {

// Addresses of its own in 127.0.0.0/8, apart from the tests' ones: the
// page's server, and one that takes requests and never answers.
constexpr char kServerAddress[] = "127.0.0.77";
constexpr char kSilentAddress[] = "127.0.0.78";
// The page: about what a small status page weighs.
const std::string kPage = [] {
    std::string page = "<html><head><title>Tarvik bench</title></head><body>\n";
    while (page.size() < 600) page += "<p>loopback page for the check cycle benchmark</p>\n";
    return page + "</body></html>\n";
}();

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency;  // milliseconds
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(share * values.size()))];
}

double Mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values) sum += v;
    return values.empty() ? 0 : sum / values.size();
}

bool SendAll(SOCKET socket, const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const int put = send(socket, bytes.data() + at, static_cast<int>(bytes.size() - at), 0);
        if (put <= 0) return false;
        at += put;
    }
    return true;
}

// A socket listening on port 80 of `address`; the bench cannot go on
// without it.
SOCKET ListenOnPort80(const char* address, int backlog) {
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(80);
    where.sin_addr.s_addr = inet_addr(address);
    BOOL reuse = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    if (bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 || listen(listener, backlog) != 0) {
        std::fprintf(stderr, "bench: cannot listen on %s:80 (error %d; port 80 needs root)\n", address,
                     WSAGetLastError());
        std::exit(1);
    }
    return listener;
}

// Serves one connection after the other on port 80: /ok gets the page, /flip
// an empty body (a failed check) and the page by turns, empty first, or
// always the page once told to stop failing.
class LoopbackServer : public fw::Thread {
public:
    explicit LoopbackServer(const char* address) : listener_(ListenOnPort80(address, 16)) { Resume(); }
    ~LoopbackServer() override {
        closesocket(listener_);
        WaitFor();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    void StopFailing() { steady_ = true; }
    void FailByTurns() { steady_ = false; }

protected:
    void Execute() override {
        const std::string page = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                 std::to_string(kPage.size()) + "\r\n\r\n" + kPage;
        const std::string empty = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 0\r\n\r\n";
        bool failNext = true;
        for (;;) {
            const SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            std::string request;
            char buffer[2048];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int got = recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                request.append(buffer, got);
            }
            const std::string line = request.substr(0, request.find("\r\n"));
            bool answer = true;
            if (line.find("flip") != std::string::npos && !steady_) {
                answer = !failNext;
                failNext = !failNext;
            }
            SendAll(client, answer ? page : empty);
            shutdown(client, SD_BOTH);
            closesocket(client);
        }
    }

    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> steady_{false};
};

// The WinINet calls of a web check, bare: what any program fetching the page
// this way has to call, with the same request. The body, empty on any
// failure.
std::string BareWinInetGet(const char* host, const char* object) {
    static const char kHeader[] = "Content-Type: application/x-www-form-urlencoded\r\n";
    std::string body;
    const HINTERNET session = InternetOpenA("RQNV", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return body;
    if (const HINTERNET connection = InternetConnectA(session, host, INTERNET_DEFAULT_HTTP_PORT, nullptr, nullptr,
                                                      INTERNET_SERVICE_HTTP, 0, 0)) {
        const char* types[] = {"text/*", nullptr};
        if (const HINTERNET request = HttpOpenRequestA(connection, "GET", object, "HTTP/1.0", "", types,
                                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)) {
            if (HttpAddRequestHeadersA(request, kHeader, sizeof kHeader - 1,
                                       HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE) &&
                HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
                char buffer[1024];
                DWORD read = 0;
                while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) body.append(buffer, read);
            }
            InternetCloseHandle(request);
        }
        InternetCloseHandle(connection);
    }
    InternetCloseHandle(session);
    return body;
}

// Takes each connection and its request, then says nothing until the client
// goes (WinINet gives up after its 10 s wait).
class SilentServer : public fw::Thread {
public:
    explicit SilentServer(const char* address) : listener_(ListenOnPort80(address, 4)) { Resume(); }
    ~SilentServer() override {
        stopping_ = true;
        closesocket(listener_);
        WaitFor();
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

protected:
    void Execute() override {
        for (;;) {
            const SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            while (!stopping_) {
                fd_set readable;
                FD_ZERO(&readable);
                FD_SET(client, &readable);
                timeval step{0, 50 * 1000};
                char buffer[2048];
                if (select(0, &readable, nullptr, nullptr, &step) > 0 && recv(client, buffer, sizeof buffer, 0) <= 0)
                    break;  // the client has gone
            }
            closesocket(client);
        }
    }

private:
    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> stopping_{false};
};

// Sends WM_NULL to a window again and again while told to, and keeps how
// long each took to be answered: the longest is the longest time the
// window's thread went without answering.
class Pinger : public fw::Thread {
public:
    explicit Pinger(HWND window) : window_(window) {
        answers_.reserve(100000);
        Resume();
    }
    ~Pinger() override {
        Terminate();
        WaitFor();
    }
    Pinger(const Pinger&) = delete;
    Pinger& operator=(const Pinger&) = delete;

    void SetActive(bool active) { active_ = active; }
    // After Terminate: the thread has sent its last message.
    bool Ended() const { return ended_; }
    // Once it has ended.
    const std::vector<double>& Answers() const { return answers_; }
    int Unanswered() const { return unanswered_; }

protected:
    void Execute() override {
        while (!Terminated()) {
            if (!active_) {
                Sleep(5);
                continue;
            }
            DWORD_PTR result = 0;
            const double start = Now();
            if (SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result))
                answers_.push_back(Now() - start);
            else
                ++unanswered_;
            Sleep(5);
        }
        ended_ = true;
    }

private:
    HWND window_;
    std::atomic<bool> active_{false};
    std::atomic<bool> ended_{false};
    std::vector<double> answers_;
    int unanswered_ = 0;
};

// A window with four labels and an icon in the notification area of its
// own: what the bare loop writes to.
class BareWindow {
public:
    BareWindow(HICON still, HICON frame) {
        window_ = CreateWindowExW(0, L"STATIC", L"bare", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 219, 160, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        for (int i = 0; i < 4; ++i)
            labels_[i] = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 32, 21 + 24 * i, 150, 16, window_,
                                         nullptr, GetModuleHandleW(nullptr), nullptr);
        icons_[0] = still;
        icons_[1] = frame;
        record_.cbSize = NOTIFYICONDATAW_V1_SIZE;
        record_.hWnd = window_;
        record_.uID = 1;
        record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        record_.uCallbackMessage = WM_APP + 1;
        record_.hIcon = icons_[0];
        shown_ = Shell_NotifyIconW(NIM_ADD, &record_) != FALSE;
    }
    ~BareWindow() {
        Shell_NotifyIconW(NIM_DELETE, &record_);
        DestroyWindow(window_);
    }
    BareWindow(const BareWindow&) = delete;
    BareWindow& operator=(const BareWindow&) = delete;

    // What a cycle shows: the icon (one modify) and the four counts.
    void Show(int round, bool failed) {
        record_.hIcon = icons_[failed];
        Shell_NotifyIconW(NIM_MODIFY, &record_);
        const std::string texts[] = {"Проверок: " + std::to_string(round), "Успешных: " + std::to_string(round / 2),
                                     "Неудачи подряд: " + std::to_string(failed ? 1 : 0),
                                     "Ушло сообщений: 0"};
        for (int i = 0; i < 4; ++i) SetWindowTextW(labels_[i], fw::Wide(texts[i]).c_str());
    }

private:
    HWND window_ = nullptr;
    HWND labels_[4] = {};
    HICON icons_[2] = {};
    NOTIFYICONDATAW record_{};
    bool shown_ = false;
};

struct Sample {
    int cycle;
    DWORD handles, gdi, user;
    SIZE_T privateBytes;
    // The blocks in use in the process's heaps: what is really allocated,
    // as against private memory, which also holds the heaps' free space.
    SIZE_T heapBytes;
    int threads;
};

// Where each figure comes from. Wine 8 answers GetProcessHandleCount with 0,
// GetGuiResources with 0 (not implemented) and PrivateUsage with 0; the
// bench then counts for itself, as below, and says so.
struct Sources {
    bool handles = true, gdi = true, user = true, privateBytes = true;  // true: the system's own figure
};

// Open kernel handles: every handle value that the system accepts. Handle
// values are handed out lowest first, so a long run of unused ones ends it.
std::vector<ULONG_PTR> OpenHandles() {
    std::vector<ULONG_PTR> open;
    for (ULONG_PTR value = 4, misses = 0; misses < 1024; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            open.push_back(value);
            misses = 0;
        } else {
            ++misses;
        }
    }
    return open;
}

DWORD CountHandlesByProbing() { return static_cast<DWORD>(OpenHandles().size()); }

// The kind of object a handle stands for ("Event", "Thread", ...).
std::string HandleType(ULONG_PTR value) {
    alignas(8) unsigned char buffer[512];
    ULONG length = 0;
    if (NtQueryObject(reinterpret_cast<HANDLE>(value), ObjectTypeInformation, buffer, sizeof buffer, &length) != 0)
        return "?";
    const auto* info = reinterpret_cast<const PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer);
    std::string name;
    for (USHORT i = 0; i < info->TypeName.Length / 2; ++i) name += static_cast<char>(info->TypeName.Buffer[i]);
    return name;
}

// The handles open now that were not open at `before`, with their kinds.
std::string NewHandles(const std::vector<ULONG_PTR>& before) {
    std::string kinds;
    for (ULONG_PTR value : OpenHandles())
        if (!std::binary_search(before.begin(), before.end(), value))
            kinds += (kinds.empty() ? "" : " ") + HandleType(value);
    return kinds.empty() ? "none" : kinds;
}

// GDI objects: the entries in use in the process's GDI handle table (the
// one the PEB points to, 64-bit layout). Windows keeps one table for all
// processes and marks each entry with its owner; Wine's table is the
// process's own and leaves the owner at 0, so then every used entry counts.
DWORD CountGdiObjectsInTable() {
#ifdef _WIN64
    struct Entry {
        ULONG64 object;
        USHORT processId, count, unique;
        UCHAR type, flags;
        ULONG64 user;
    };
    static_assert(sizeof(Entry) == 24, "the table's entry layout");
    constexpr int kEntries = 0x10000;
    PROCESS_BASIC_INFORMATION process{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process,
                                  nullptr) != 0 ||
        !process.PebBaseAddress)
        return 0;
    const Entry* table = *reinterpret_cast<const Entry* const*>(reinterpret_cast<const BYTE*>(process.PebBaseAddress) +
                                                                0xF8);
    if (!table) return 0;
    const auto self = static_cast<USHORT>(GetCurrentProcessId());
    DWORD used = 0, own = 0, marked = 0;
    for (int i = 0; i < kEntries; ++i) {
        if (!table[i].type) continue;
        ++used;
        if (table[i].processId) ++marked;
        if (table[i].processId == self) ++own;
    }
    return marked ? own : used;
#else
    return 0;  // the 32-bit table's layout differs; not counted
#endif
}

BOOL CALLBACK CountChildWindow(HWND, LPARAM counter) noexcept {
    ++*reinterpret_cast<DWORD*>(counter);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM counter) noexcept {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(counter);
        EnumChildWindows(window, &CountChildWindow, counter);
    }
    return TRUE;
}

// USER objects, in part: the process's windows (top-level, message-only and
// children). Menus, icons and cursors are not seen this way.
DWORD CountWindows() {
    DWORD count = 0;
    EnumWindows(&CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    for (HWND window = nullptr; (window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr));)
        CountOwnWindow(window, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Committed private memory, region by region: what PrivateUsage means.
SIZE_T CountPrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

SIZE_T CountHeapBytes() {
    HANDLE heaps[256];
    const DWORD count = std::min<DWORD>(GetProcessHeaps(256, heaps), 256);
    SIZE_T total = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

// The process's threads right now.
int CountThreads() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

Sample Measure(int cycle, Sources& sources) {
    Sample sample{cycle, 0, 0, 0, 0, 0, CountThreads()};
    const HANDLE self = GetCurrentProcess();
    if (!GetProcessHandleCount(self, &sample.handles) || sample.handles == 0) {
        sources.handles = false;
        sample.handles = CountHandlesByProbing();
    }
    sample.gdi = GetGuiResources(self, GR_GDIOBJECTS);
    if (sample.gdi == 0) {
        sources.gdi = false;
        sample.gdi = CountGdiObjectsInTable();
    }
    sample.user = GetGuiResources(self, GR_USEROBJECTS);
    if (sample.user == 0) {
        sources.user = false;
        sample.user = CountWindows();
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        sample.privateBytes = memory.PrivateUsage;
    if (sample.privateBytes == 0) {
        sources.privateBytes = false;
        sample.privateBytes = CountPrivateBytes();
    }
    sample.heapBytes = CountHeapBytes();
    return sample;
}

// Handles messages (the labels' repainting, the icon's window) for a while.
void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        fw::Application::Instance().ProcessMessages();
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
}

// Handles messages until the stopped animation threads have ended (a
// thread's stack counts as private memory until it has), at most for
// `limitMs`.
void Settle(int threads, DWORD limitMs) {
    const DWORD start = GetTickCount();
    do Pump(5);
    while (CountThreads() > threads && GetTickCount() - start < limitMs);
}

// Starts a check as a tick does and handles messages one by one until its
// answer has come back and been shown (the labels' own repainting comes
// after, untimed, as before). Gives the time the cycle ended.
double CheckToItsEnd(TForm1& form) {
    form.TimerTimer(*form.Timer);
    while (form.Checking()) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
    return Now();
}

int Argument(int argc, char** argv, int index, int fallback) {
    return argc > index ? std::max(1, std::atoi(argv[index])) : fallback;
}

std::wstring BesideProgram(const wchar_t* name) {
    const std::wstring& ini = IniPath();
    return ini.substr(0, ini.rfind(L'\\') + 1) + name;
}

// The times of one cycle's parts, in milliseconds.
struct CycleTimes {
    std::vector<double> cycle, probe, overhead, beforeProbe, animation[2], labels, messages;
    // Inside the shell's notification-area call, on the owning thread.
    std::vector<double> shell;
};

// How long the failure before each sample lasts: a few of the icon's frames.
constexpr DWORD kLongFailureMs = 500;

// The time the owning thread spends inside the shell's notification-area
// call, and how many calls all threads make (the animation thread's are the
// frame changes).
struct ShellTimes {
    DWORD ownerThread = GetCurrentThreadId();
    double ownerMs = 0;
    std::atomic<long> calls{0};
};

const char* SourceName(bool system) { return system ? "system" : "own count"; }

int Run(int argc, char** argv) {
    const int cycles = Argument(argc, argv, 1, 10000);
    // Even counts, so that every sample follows a success (the checks fail
    // and succeed by turns, failing first) and the animation is off.
    const int warmup = (Argument(argc, argv, 2, 500) + 1) / 2 * 2;
    const int rounds = Argument(argc, argv, 3, 1000);
    const int every = (Argument(argc, argv, 4, 250) + 1) / 2 * 2;
    const int steadyCycles = Argument(argc, argv, 5, 1000);
    const int silentChecks = Argument(argc, argv, 6, 3);

    WSADATA winsock;
    WSAStartup(MAKEWORD(2, 2), &winsock);
    LoopbackServer server(kServerAddress);
    SilentServer silent(kSilentAddress);

    // The window's own settings file: monitoring off (the timer stays still;
    // the bench calls the timer's handler), the web probe on /flip, and a
    // threshold that is never reached, so no alert is raised.
    const Text url = Text(kServerAddress) + "/flip";
    DeleteFileW(IniPath().c_str());
    const std::pair<const char*, Text> keys[] = {{"IP", ""},       {"HOST", url},     {"INTERVAL", "3600"},
                                                 {"ACTIONS", "-1"}, {"COMPUTER", ""}, {"MESSAGE", ""},
                                                 {"STATUS", "0"}};
    for (const auto& [key, value] : keys) IniWriteValue(IniPath(), "SETUP", key, value);

    int boxes = 0;
    fw::SetMessageBoxHook([&](const fw::MessageBoxRequest& box) {
        ++boxes;
        std::fprintf(stderr, "bench: message box: %s\n", box.text.c_str());
        return IDOK;
    });

    auto& application = fw::Application::Instance();
    application.Initialize();
    // Time stamps inside the cycle: around the probe, and once the icon's
    // animation has been switched (the window calls this after its icon).
    double probeStart = 0, probeEnd = 0, animationEnd = 0;
    int alerts = 0;
    MonitorServices services = TForm1::PlatformServices();
    services.webProbe = [&](const Text& target) {
        probeStart = Now();
        Text result = WebProbe(target);
        probeEnd = Now();
        return result;
    };
    services.setAnimated = [&](bool) { animationEnd = Now(); };
    // The real sender ends a Wine process (its messenger call is a stub);
    // with the threshold at -1 it is never called anyway.
    services.sendAlert = [&alerts](const Text&, const Text&) { return ++alerts, false; };

    ShellTimes shell;
    SetTrayShellHook([&shell](DWORD message, const NOTIFYICONDATAW& record) {
        const bool owner = GetCurrentThreadId() == shell.ownerThread;
        const double start = owner ? Now() : 0;
        const BOOL result = Shell_NotifyIconW(message, const_cast<NOTIFYICONDATAW*>(&record));
        if (owner) shell.ownerMs += Now() - start;
        ++shell.calls;
        return result;
    });

    // Room for every figure up front: the bench's own growing vectors must
    // not show in the heap it measures.
    CycleTimes times;
    std::vector<double> steady;  // beyond the probe, in the steady cycles
    for (auto* part : {&times.cycle, &times.probe, &times.overhead, &times.beforeProbe, &times.animation[0],
                       &times.animation[1], &times.labels, &times.messages, &times.shell})
        part->reserve(cycles);
    std::vector<Sample> samples;
    samples.reserve(cycles / every + 1);
    Sources sources;
    bool trayShown = false;
    MonitorCounters counters;
    long shellCalls = 0;
    std::vector<double> bareProbe, bareUi;
    bareProbe.reserve(cycles);
    bareUi.reserve(cycles);
    Sample bareFirst{}, bareLast{};
    std::vector<double> silentCheckMs, answers;
    int unanswered = 0;
    std::vector<ULONG_PTR> baseHandles;
    std::string newHandles;
    const double seriesStart = Now();
    double seriesSeconds = 0;
    {
        TForm1 form(services);
        form.Timer->SetEnabled(false);
        form.Show();
        form.PageControl1->SetActivePage(form.TabSheet1);
        Pump(500);
        trayShown = form.TrayIcon1->IconShown();
        // With the probes' worker, which waits for the next check from the
        // first one on.
        const int threads = CountThreads() + 1;
        // The first measurement leaves a handle of its own behind (the
        // system sets something up once): not the program's.
        Measure(0, sources);

        long callsAtStart = 0;
        for (int i = 0; i < warmup + cycles; ++i) {
            if (i == warmup) callsAtStart = shell.calls;
            const double shellBefore = shell.ownerMs;
            const double start = Now();
            const double end = CheckToItsEnd(form);
            application.ProcessMessages();  // the labels repaint
            if (i >= warmup) {
                const bool failed = i % 2 == 0;
                times.cycle.push_back(end - start);
                times.probe.push_back(probeEnd - probeStart);
                times.overhead.push_back((end - start) - (probeEnd - probeStart));
                times.beforeProbe.push_back(probeStart - start);
                times.animation[failed].push_back(animationEnd - probeEnd);
                times.labels.push_back(end - animationEnd);
                times.shell.push_back(shell.ownerMs - shellBefore);
                times.messages.push_back(Now() - end);
            }
            // Before each sample a failure lasts a while, so the animation
            // also shows its frames (a loopback cycle is far shorter than
            // the icon's interval); the sample follows the next success,
            // once the stopped animation thread has ended.
            if (i + 2 >= warmup && (i + 2 - warmup) % every == 0) Pump(kLongFailureMs);
            if (i + 1 >= warmup && (i + 1 - warmup) % every == 0) {
                Settle(threads, 2000);
                samples.push_back(Measure(i + 1 - warmup, sources));
                if (i + 1 == warmup) baseHandles = OpenHandles();
                if (i + 1 == warmup + cycles) newHandles = NewHandles(baseHandles);
            }
        }
        shellCalls = shell.calls - callsAtStart;
        seriesSeconds = (Now() - seriesStart) / 1000;

        // Then every check succeeds: the animation stays off and the icon
        // is left alone; only the labels change.
        server.StopFailing();
        steady.reserve(steadyCycles);
        for (int i = 0; i < steadyCycles; ++i) {
            const double start = Now();
            const double end = CheckToItsEnd(form);
            application.ProcessMessages();
            steady.push_back((end - start) - (probeEnd - probeStart));
        }
        counters = form.Counters();

        // The baseline: as many rounds of the bare calls as the series had
        // cycles, after as many warm-up rounds, the server failing by turns
        // again; each round's WinINet part and the rest timed apart. The
        // window stays idle meanwhile, its animation off.
        server.FailByTurns();
        {
            // The icon's own pictures: the shell's cost depends on them.
            BareWindow bare(form.TrayIcon1->Icon().Handle(), form.TrayIcon1->Icons().IconAt(1)->Handle());
            Pump(500);
            for (int i = 0; i < warmup + cycles; ++i) {
                if (i == warmup) {
                    Pump(5);
                    bareFirst = Measure(0, sources);
                }
                const double start = Now();
                const bool failed = BareWinInetGet(kServerAddress, "flip").empty();
                const double middle = Now();
                bare.Show(i, failed);
                const double end = Now();
                application.ProcessMessages();  // the labels repaint, untimed as in the series
                if (i >= warmup) {
                    bareProbe.push_back(middle - start);
                    bareUi.push_back(end - middle);
                }
            }
            Pump(5);
            bareLast = Measure(cycles, sources);
        }

        // Checks against a server that never answers, while another thread
        // keeps sending the window a message: the longest wait for an
        // answer is the longest time the window's thread went deaf.
        form.HostEdit->SetText(Text(kSilentAddress) + "/");
        form.EditComputerExit(*form.HostEdit);
        form.Timer->SetEnabled(false);
        Pinger pinger(form.Handle());
        for (int i = 0; i < silentChecks; ++i) {
            pinger.SetActive(true);
            const double start = Now();
            silentCheckMs.push_back(CheckToItsEnd(form) - start);
            pinger.SetActive(false);
            application.ProcessMessages();
        }
        pinger.Terminate();
        while (!pinger.Ended()) Pump(5);  // its last message may wait for us
        answers = pinger.Answers();
        unanswered = pinger.Unanswered();
    }
    SetTrayShellHook(nullptr);

    // The probe against the bare WinINet sequence, by turns, on the same page.
    std::vector<double> web, bareWeb;
    web.reserve(rounds);
    bareWeb.reserve(rounds);
    int wrong = 0;
    const Text okUrl = Text(kServerAddress) + "/ok";
    for (int i = 0; i < rounds; ++i) {
        double start = Now();
        if (WebProbe(okUrl) != kPage) ++wrong;
        web.push_back(Now() - start);
        start = Now();
        if (BareWinInetGet(kServerAddress, "ok") != kPage) ++wrong;
        bareWeb.push_back(Now() - start);
    }
    WSACleanup();

    const Sample& first = samples.front();
    const Sample& last = samples.back();
    auto growth = [](auto a, auto b) { return static_cast<long long>(b) - static_cast<long long>(a); };
    const long long handles = growth(first.handles, last.handles);
    const long long gdi = growth(first.gdi, last.gdi);
    const long long user = growth(first.user, last.user);
    const long long privateKb = growth(first.privateBytes, last.privateBytes) / 1024;
    Sample low = first, high = first;
    for (const Sample& s : samples) {
        low = {0, std::min(low.handles, s.handles), std::min(low.gdi, s.gdi), std::min(low.user, s.user),
               std::min(low.privateBytes, s.privateBytes), std::min(low.heapBytes, s.heapBytes), 0};
        high = {0, std::max(high.handles, s.handles), std::max(high.gdi, s.gdi), std::max(high.user, s.user),
                std::max(high.privateBytes, s.privateBytes), std::max(high.heapBytes, s.heapBytes), 0};
    }
    const double overheadMs = Mean(times.overhead);
    const double bareUiMs = Mean(bareUi);
    const double costRatio = overheadMs / bareUiMs;
    const double ratio = Median(web) / Median(bareWeb);
    const long long barePrivateKb = growth(bareFirst.privateBytes, bareLast.privateBytes) / 1024;
    const long long bareHeapKb = growth(bareFirst.heapBytes, bareLast.heapBytes) / 1024;
    const long long heapKb = growth(first.heapBytes, last.heapBytes) / 1024;
    const long long ownGrowthKb = privateKb - barePrivateKb;
    const double worstAnswerMs = answers.empty() ? 0 : *std::max_element(answers.begin(), answers.end());

    std::printf("bench: %d cycles after %d warm-up cycles in %.1f s, failing and succeeding by turns; notification "
                "area %s; checks %d, successes %d, message boxes %d, alerts %d\n",
                cycles, warmup, seriesSeconds, trayShown ? "present" : "absent", counters.CheckCount,
                counters.SuccessCount, boxes, alerts);
    std::printf("bench: cycle %.3f ms median, its probe %.3f ms median; beyond the probe %.3f ms mean (median %.3f, "
                "95%% %.3f): before the probe %.3f, animation on %.3f / off %.3f, labels %.3f; repainting after "
                "the cycle %.3f ms mean; inside the shell's notification-area call %.3f ms mean (%ld calls in all, "
                "frame changes included)\n",
                Median(times.cycle), Median(times.probe), overheadMs, Median(times.overhead),
                Percentile(times.overhead, 0.95), Mean(times.beforeProbe), Mean(times.animation[1]),
                Mean(times.animation[0]), Mean(times.labels), Mean(times.messages), Mean(times.shell), shellCalls);
    std::printf("bench: %d cycles that all succeed: beyond the probe %.3f ms mean (median %.3f, 95%% %.3f)\n",
                steadyCycles, Mean(steady), Median(steady), Percentile(steady, 0.95));
    std::printf("bench: the bare calls, %d rounds: WinINet sequence %.3f ms median, one NIM_MODIFY and four "
                "SetWindowTextA %.3f ms mean (median %.3f); cost beyond the probe over them %.2f; private memory "
                "%+lld KB, heap blocks in use %+lld KB (the series: %+lld KB, %+lld KB)\n",
                cycles, Median(bareProbe), bareUiMs, Median(bareUi), costRatio, barePrivateKb, bareHeapKb, privateKb,
                heapKb);
    std::printf("bench: web probe %.3f ms median, the bare WinINet sequence %.3f ms median: ratio %.2f (%d rounds "
                "each, %d wrong replies)\n",
                Median(web), Median(bareWeb), ratio, rounds, wrong);
    std::printf("bench: %d checks against a silent server, %.1f s each (mean): %d messages answered, %d not, the "
                "slowest in %.1f ms (median %.2f ms)\n",
                silentChecks, Mean(silentCheckMs) / 1000, static_cast<int>(answers.size()), unanswered, worstAnswerMs,
                Median(answers));
    std::printf("bench: from the end of the warm-up, every %d cycles: handles %lu -> %lu (%lu..%lu, %s), GDI "
                "objects %lu -> %lu (%lu..%lu, %s), USER objects %lu -> %lu (%lu..%lu, %s), private %.0f KB -> "
                "%.0f KB (%.0f..%.0f KB, %s), heap blocks in use %.0f KB -> %.0f KB; handles open at the end that "
                "were not at the start: %s\n",
                every, first.handles, last.handles, low.handles, high.handles, SourceName(sources.handles),
                first.gdi, last.gdi, low.gdi, high.gdi, SourceName(sources.gdi), first.user, last.user, low.user,
                high.user, SourceName(sources.user), first.privateBytes / 1024.0, last.privateBytes / 1024.0,
                low.privateBytes / 1024.0, high.privateBytes / 1024.0, SourceName(sources.privateBytes),
                first.heapBytes / 1024.0, last.heapBytes / 1024.0, newHandles.c_str());

    std::ofstream csv(BesideProgram(L"bench_samples.csv").c_str());
    csv << "cycle,handles,gdi,user,private_kb,heap_kb,threads\n";
    for (const Sample& s : samples)
        csv << s.cycle << ',' << s.handles << ',' << s.gdi << ',' << s.user << ',' << s.privateBytes / 1024 << ','
            << s.heapBytes / 1024 << ',' << s.threads << '\n';

    std::ofstream figures(BesideProgram(L"bench_figures.txt").c_str());
    auto put = [&](const char* name, double value, int decimals) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        figures << name << '=' << text << '\n';
    };
    auto source = [&](const char* name, bool system) { figures << name << '=' << SourceName(system) << '\n'; };
    put("cycles", cycles, 0);
    put("warmup", warmup, 0);
    put("rounds", rounds, 0);
    put("sample_every", every, 0);
    put("series_s", seriesSeconds, 1);
    put("checks", counters.CheckCount, 0);
    put("successes", counters.SuccessCount, 0);
    put("message_boxes", boxes, 0);
    put("tray_shown", trayShown, 0);
    put("cycle_median_ms", Median(times.cycle), 3);
    put("cycle_probe_median_ms", Median(times.probe), 3);
    put("overhead_mean_ms", overheadMs, 3);
    put("overhead_median_ms", Median(times.overhead), 3);
    put("overhead_p95_ms", Percentile(times.overhead, 0.95), 3);
    put("before_probe_mean_ms", Mean(times.beforeProbe), 3);
    put("animation_on_mean_ms", Mean(times.animation[1]), 3);
    put("animation_off_mean_ms", Mean(times.animation[0]), 3);
    put("labels_mean_ms", Mean(times.labels), 3);
    put("repaint_mean_ms", Mean(times.messages), 3);
    put("shell_mean_ms", Mean(times.shell), 3);
    put("shell_calls", shellCalls, 0);
    put("long_failure_ms", kLongFailureMs, 0);
    put("steady_cycles", steadyCycles, 0);
    put("steady_overhead_mean_ms", Mean(steady), 3);
    put("steady_overhead_median_ms", Median(steady), 3);
    put("steady_overhead_p95_ms", Percentile(steady, 0.95), 3);
    put("web_median_ms", Median(web), 3);
    put("bare_web_median_ms", Median(bareWeb), 3);
    put("ratio", ratio, 2);
    put("wrong_replies", wrong, 0);
    put("bare_probe_median_ms", Median(bareProbe), 3);
    put("bare_ui_mean_ms", bareUiMs, 3);
    put("bare_ui_median_ms", Median(bareUi), 3);
    put("cost_ratio", costRatio, 2);
    put("bare_private_kb_first", bareFirst.privateBytes / 1024.0, 0);
    put("bare_private_kb_last", bareLast.privateBytes / 1024.0, 0);
    put("bare_heap_kb_first", bareFirst.heapBytes / 1024.0, 0);
    put("bare_heap_kb_last", bareLast.heapBytes / 1024.0, 0);
    put("own_growth_kb", ownGrowthKb, 0);
    put("silent_checks", silentChecks, 0);
    put("silent_check_mean_s", Mean(silentCheckMs) / 1000, 1);
    put("answers", answers.size(), 0);
    put("unanswered", unanswered, 0);
    put("worst_answer_ms", worstAnswerMs, 1);
    put("median_answer_ms", Median(answers), 2);
    struct Series {
        const char* name;
        double first, last, low, high;
    };
    const Series series[] = {
        {"handles", double(first.handles), double(last.handles), double(low.handles), double(high.handles)},
        {"gdi", double(first.gdi), double(last.gdi), double(low.gdi), double(high.gdi)},
        {"user", double(first.user), double(last.user), double(low.user), double(high.user)},
        {"private_kb", first.privateBytes / 1024.0, last.privateBytes / 1024.0, low.privateBytes / 1024.0,
         high.privateBytes / 1024.0},
        {"heap_kb", first.heapBytes / 1024.0, last.heapBytes / 1024.0, low.heapBytes / 1024.0,
         high.heapBytes / 1024.0}};
    for (const Series& one : series) {
        const std::string name = one.name;
        put((name + "_first").c_str(), one.first, 0);
        put((name + "_last").c_str(), one.last, 0);
        put((name + "_low").c_str(), one.low, 0);
        put((name + "_high").c_str(), one.high, 0);
    }
    figures << "new_handles=" << newHandles << '\n';
    source("handles_source", sources.handles);
    source("gdi_source", sources.gdi);
    source("user_source", sources.user);
    source("private_source", sources.privateBytes);

    std::printf("bench: cycles=%d cost_ratio=%.2f probe_ratio=%.2f own_growth_kb=%lld handles=%lld gdi=%lld user=%lld "
                "worst_answer_ms=%.0f\n",
                cycles, costRatio, ratio, ownGrowthKb, handles, gdi, user, worstAnswerMs);
    std::fflush(stdout);
    return 0;
}

}  // namespace
}  // namespace tarvik::bench

int main(int argc, char** argv) {
    try {
        return tarvik::bench::Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench: %s\n", error.what());
        return 1;
    }
}
