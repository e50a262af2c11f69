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
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench_counts_win.h"
#include "bench_servers_win.h"
#include "bench_stats_win.h"
#include "bench_window_win.h"
#include "controls/tray_shell_win.h"
#include "framework/application_win.h"
#include "monitor/web_probe.h"
#include "settings/inilib.h"
#include "system/message_box_win.h"
#include "system/thread_win.h"
#include "system/wide_text_win.h"
#include "ui/main_form_win.h"

namespace tarvik::bench {

namespace {

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

// What the phases measure, for the report.
struct Results {
    int cycles = 0, warmup = 0, rounds = 0, every = 0, steadyCycles = 0, silentChecks = 0;
    CycleTimes times;
    std::vector<double> steady;  // beyond the probe, in the steady cycles
    std::vector<Sample> samples;
    Sources sources;
    bool trayShown = false;
    MonitorCounters counters;
    long shellCalls = 0;
    double seriesSeconds = 0;
    std::vector<ULONG_PTR> baseHandles;
    std::string newHandles;
    std::vector<double> bareProbe, bareUi;
    Sample bareFirst{}, bareLast{};
    std::vector<double> silentCheckMs, answers;
    int unanswered = 0;
    std::vector<double> web, bareWeb;
    int wrong = 0;
    int boxes = 0, alerts = 0;
};

// Time stamps inside the cycle: around the probe, and once the icon's
// animation has been switched (the window calls this after its icon).
struct CycleStamps {
    double probeStart = 0, probeEnd = 0, animationEnd = 0;
};

// The window's own settings file: monitoring off (the timer stays still;
// the bench calls the timer's handler), the web probe on /flip, and a
// threshold that is never reached, so no alert is raised.
void WriteSettings() {
    const Text url = Text(kServerAddress) + "/flip";
    DeleteFileW(IniPath().c_str());
    const std::pair<const char*, Text> keys[] = {{"IP", ""},       {"HOST", url},     {"INTERVAL", "3600"},
                                                 {"ACTIONS", "-1"}, {"COMPUTER", ""}, {"MESSAGE", ""},
                                                 {"STATUS", "0"}};
    for (const auto& [key, value] : keys) IniWriteValue(IniPath(), "SETUP", key, value);
}

// The window's services: the real web probe, timed; the animation switch
// stamped; no alert sent.
MonitorServices TimedServices(CycleStamps& stamps, int& alerts) {
    MonitorServices services = TForm1::PlatformServices();
    services.webProbe = [&stamps](const Text& target) {
        stamps.probeStart = Now();
        Text result = WebProbe(target);
        stamps.probeEnd = Now();
        return result;
    };
    services.setAnimated = [&stamps](bool) { stamps.animationEnd = Now(); };
    // The real sender ends a Wine process (its messenger call is a stub);
    // with the threshold at -1 it is never called anyway.
    services.sendAlert = [&alerts](const Text&, const Text&) { return ++alerts, false; };
    return services;
}

// Room for every figure up front: the bench's own growing vectors must not
// show in the heap it measures.
void Reserve(Results& r) {
    for (auto* part : {&r.times.cycle, &r.times.probe, &r.times.overhead, &r.times.beforeProbe,
                       &r.times.animation[0], &r.times.animation[1], &r.times.labels, &r.times.messages,
                       &r.times.shell})
        part->reserve(r.cycles);
    r.samples.reserve(r.cycles / r.every + 1);
    r.bareProbe.reserve(r.cycles);
    r.bareUi.reserve(r.cycles);
}

// The series: checks failing and succeeding by turns, each cycle's parts
// timed, the counts sampled every so many cycles.
void FailingByTurns(TForm1& form, const CycleStamps& stamps, ShellTimes& shell, Results& r) {
    auto& application = fw::Application::Instance();
    const double seriesStart = Now();
    // With the probes' worker, which waits for the next check from the
    // first one on.
    const int threads = CountThreads() + 1;
    // The first measurement leaves a handle of its own behind (the system
    // sets something up once): not the program's.
    Measure(0, r.sources);

    long callsAtStart = 0;
    const int warmup = r.warmup, every = r.every;
    for (int i = 0; i < warmup + r.cycles; ++i) {
        if (i == warmup) callsAtStart = shell.calls;
        const double shellBefore = shell.ownerMs;
        const double start = Now();
        const double end = CheckToItsEnd(form);
        application.ProcessMessages();  // the labels repaint
        if (i >= warmup) {
            const bool failed = i % 2 == 0;
            const double probe = stamps.probeEnd - stamps.probeStart;
            r.times.cycle.push_back(end - start);
            r.times.probe.push_back(probe);
            r.times.overhead.push_back((end - start) - probe);
            r.times.beforeProbe.push_back(stamps.probeStart - start);
            r.times.animation[failed].push_back(stamps.animationEnd - stamps.probeEnd);
            r.times.labels.push_back(end - stamps.animationEnd);
            r.times.shell.push_back(shell.ownerMs - shellBefore);
            r.times.messages.push_back(Now() - end);
        }
        // Before each sample a failure lasts a while, so the animation also
        // shows its frames (a loopback cycle is far shorter than the icon's
        // interval); the sample follows the next success, once the stopped
        // animation thread has ended.
        if (i + 2 >= warmup && (i + 2 - warmup) % every == 0) Pump(kLongFailureMs);
        if (i + 1 >= warmup && (i + 1 - warmup) % every == 0) {
            Settle(threads, 2000);
            r.samples.push_back(Measure(i + 1 - warmup, r.sources));
            if (i + 1 == warmup) r.baseHandles = OpenHandles();
            if (i + 1 == warmup + r.cycles) r.newHandles = NewHandles(r.baseHandles);
        }
    }
    r.shellCalls = shell.calls - callsAtStart;
    r.seriesSeconds = (Now() - seriesStart) / 1000;
}

// Then every check succeeds: the animation stays off and the icon is left
// alone; only the labels change.
void AllSucceeding(TForm1& form, const CycleStamps& stamps, Results& r) {
    r.steady.reserve(r.steadyCycles);
    for (int i = 0; i < r.steadyCycles; ++i) {
        const double start = Now();
        const double end = CheckToItsEnd(form);
        fw::Application::Instance().ProcessMessages();
        r.steady.push_back((end - start) - (stamps.probeEnd - stamps.probeStart));
    }
    r.counters = form.Counters();
}

// The baseline: as many rounds of the bare calls as the series had cycles,
// after as many warm-up rounds, the server failing by turns; each round's
// WinINet part and the rest timed apart. The window stays idle meanwhile,
// its animation off.
void BareCalls(TForm1& form, Results& r) {
    // The icon's own pictures: the shell's cost depends on them.
    BareWindow bare(form.TrayIcon1->Icon().Handle(), form.TrayIcon1->Icons().IconAt(1)->Handle());
    Pump(500);
    for (int i = 0; i < r.warmup + r.cycles; ++i) {
        if (i == r.warmup) {
            Pump(5);
            r.bareFirst = Measure(0, r.sources);
        }
        const double start = Now();
        const bool failed = BareWinInetGet(kServerAddress, "flip").empty();
        const double middle = Now();
        bare.Show(i, failed);
        const double end = Now();
        fw::Application::Instance().ProcessMessages();  // the labels repaint, untimed as in the series
        if (i >= r.warmup) {
            r.bareProbe.push_back(middle - start);
            r.bareUi.push_back(end - middle);
        }
    }
    Pump(5);
    r.bareLast = Measure(r.cycles, r.sources);
}

// Checks against a server that never answers, while another thread keeps
// sending the window a message: the longest wait for an answer is the
// longest time the window's thread went deaf.
void SilentChecks(TForm1& form, Results& r) {
    form.HostEdit->SetText(Text(kSilentAddress) + "/");
    form.EditComputerExit(*form.HostEdit);
    form.Timer->SetEnabled(false);
    Pinger pinger(form.Handle());
    for (int i = 0; i < r.silentChecks; ++i) {
        pinger.SetActive(true);
        const double start = Now();
        r.silentCheckMs.push_back(CheckToItsEnd(form) - start);
        pinger.SetActive(false);
        fw::Application::Instance().ProcessMessages();
    }
    pinger.Terminate();
    while (!pinger.Ended()) Pump(5);  // its last message may wait for us
    r.answers = pinger.Answers();
    r.unanswered = pinger.Unanswered();
}

// The probe against the bare WinINet sequence, by turns, on the same page.
void ProbeAgainstBare(Results& r) {
    r.web.reserve(r.rounds);
    r.bareWeb.reserve(r.rounds);
    const Text okUrl = Text(kServerAddress) + "/ok";
    for (int i = 0; i < r.rounds; ++i) {
        double start = Now();
        if (WebProbe(okUrl) != Page()) ++r.wrong;
        r.web.push_back(Now() - start);
        start = Now();
        if (BareWinInetGet(kServerAddress, "ok") != Page()) ++r.wrong;
        r.bareWeb.push_back(Now() - start);
    }
}

// Prints the figures, writes bench_samples.csv and bench_figures.txt, and
// ends with the summary line.
void Report(const Results& r) {
    const int cycles = r.cycles, warmup = r.warmup, rounds = r.rounds, every = r.every;
    const int steadyCycles = r.steadyCycles, silentChecks = r.silentChecks;
    const CycleTimes& times = r.times;
    const std::vector<double>&steady = r.steady, &bareProbe = r.bareProbe, &bareUi = r.bareUi, &web = r.web,
                              &bareWeb = r.bareWeb, &silentCheckMs = r.silentCheckMs, &answers = r.answers;
    const std::vector<Sample>& samples = r.samples;
    const Sources& sources = r.sources;
    const Sample &bareFirst = r.bareFirst, &bareLast = r.bareLast;
    const MonitorCounters& counters = r.counters;
    const int boxes = r.boxes, alerts = r.alerts, wrong = r.wrong, unanswered = r.unanswered;
    const bool trayShown = r.trayShown;
    const long shellCalls = r.shellCalls;
    const double seriesSeconds = r.seriesSeconds;
    const std::string& newHandles = r.newHandles;
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
}

int Run(int argc, char** argv) {
    Results r;
    r.cycles = Argument(argc, argv, 1, 10000);
    // Even counts, so that every sample follows a success (the checks fail
    // and succeed by turns, failing first) and the animation is off.
    r.warmup = (Argument(argc, argv, 2, 500) + 1) / 2 * 2;
    r.rounds = Argument(argc, argv, 3, 1000);
    r.every = (Argument(argc, argv, 4, 250) + 1) / 2 * 2;
    r.steadyCycles = Argument(argc, argv, 5, 1000);
    r.silentChecks = Argument(argc, argv, 6, 3);

    WSADATA winsock;
    WSAStartup(MAKEWORD(2, 2), &winsock);
    LoopbackServer server(kServerAddress);
    SilentServer silent(kSilentAddress);
    WriteSettings();

    fw::SetMessageBoxHook([&r](const fw::MessageBoxRequest& box) {
        ++r.boxes;
        std::fprintf(stderr, "bench: message box: %s\n", box.text.c_str());
        return IDOK;
    });
    fw::Application::Instance().Initialize();
    CycleStamps stamps;
    const MonitorServices services = TimedServices(stamps, r.alerts);

    ShellTimes shell;
    SetTrayShellHook([&shell](DWORD message, const NOTIFYICONDATAW& record) {
        const bool owner = GetCurrentThreadId() == shell.ownerThread;
        const double start = owner ? Now() : 0;
        const BOOL result = Shell_NotifyIconW(message, const_cast<NOTIFYICONDATAW*>(&record));
        if (owner) shell.ownerMs += Now() - start;
        ++shell.calls;
        return result;
    });

    Reserve(r);
    {
        TForm1 form(services);
        form.Timer->SetEnabled(false);
        form.Show();
        form.PageControl1->SetActivePage(form.TabSheet1);
        Pump(500);
        r.trayShown = form.TrayIcon1->IconShown();
        FailingByTurns(form, stamps, shell, r);
        server.StopFailing();
        AllSucceeding(form, stamps, r);
        server.FailByTurns();
        BareCalls(form, r);
        SilentChecks(form, r);
    }
    SetTrayShellHook(nullptr);
    ProbeAgainstBare(r);
    WSACleanup();
    Report(r);
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
