// The program's only window: statistics, settings fields and help on three
// pages; it starts and stops the checks and decides whether closing hides
// the window or ends the program.
#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include "controls/spin_edit_win.h"
#include "controls/tray_icon_win.h"
#include "framework/controls_win.h"
#include "framework/form_win.h"
#include "framework/menu.h"
#include "framework/power_notification_win.h"
#include "framework/timer_win.h"
#include "monitor/check_cycle.h"
#include "monitor/monitor_services.h"
#include "system/bounded_worker_win.h"

namespace tarvik {

class TForm1 : public fw::Form {
public:
    Text ClassName() const override { return "TForm1"; }
    // The probes and the alert sender of the platform.
    static MonitorServices PlatformServices();

    // How long a probe or an alert may keep a check under way (open message
    // boxes not counted): the platform's own time-outs act well before it;
    // it catches what they cannot, such as headers trickled without end or
    // a name service that never answers.
    static constexpr std::chrono::milliseconds kWorkBound{30000};

    // Builds the window from its layout and runs FormCreate. `services`
    // gives the probes and the sender (tests pass doubles), which run on
    // worker threads of the window's, each call within `workBound`.
    explicit TForm1(MonitorServices services = PlatformServices(),
                    std::chrono::milliseconds workBound = kWorkBound);
    ~TForm1() override;

    fw::CheckBox* Status = nullptr;
    fw::Label* Label5 = nullptr;
    fw::Edit* IPEdit = nullptr;
    fw::Label* Label2 = nullptr;
    fw::Edit* HostEdit = nullptr;
    fw::PageControl* PageControl1 = nullptr;
    fw::TabSheet* TabSheet1 = nullptr;
    fw::Label* TProverok = nullptr;
    fw::Label* TUspeh = nullptr;
    fw::Label* TNeud = nullptr;
    fw::Label* TUshloMes = nullptr;
    fw::Button* Button1 = nullptr;
    fw::Button* Button4 = nullptr;
    fw::TabSheet* TabSheet2 = nullptr;
    fw::GroupBox* GroupBox2 = nullptr;
    TSpinEdit* EditInterval = nullptr;
    TSpinEdit* EditAction = nullptr;
    fw::GroupBox* GroupBox3 = nullptr;
    fw::Edit* EditComputer = nullptr;
    fw::Edit* EditMessage = nullptr;
    fw::TabSheet* TabSheet3 = nullptr;
    fw::GroupBox* GroupBox1 = nullptr;
    fw::Label* Label6 = nullptr;
    fw::Timer* Timer = nullptr;
    TTrayIcon* TrayIcon1 = nullptr;
    fw::PopupMenu* PopupMenu1 = nullptr;
    fw::MenuItem* N1 = nullptr;

    // A real close has been asked for (the menu's "Закрыть", session end).
    bool ExitRequested = false;

    const MonitorSettings& Settings() const { return settings_; }
    // A check (its probe or its alert) is under way.
    bool Checking() const { return cycle_->IsRunning(); }
    // A send of "Проверить сообщение." is under way.
    bool TestAlertUnderWay() const { return testAlerts_.UnderWay(); }
    const MonitorCounters& Counters() const { return counters_; }

    void FormCreate(fw::Component& sender);
    void TimerTimer(fw::Component& sender);
    void Button1Click(fw::Component& sender);
    void Button4Click(fw::Component& sender);
    void EditComputerExit(fw::Component& sender);
    void StatusClick(fw::Component& sender);
    void TrayIcon1MouseUp(fw::Component& sender, fw::MouseButton button, fw::ShiftState shift, int x, int y);
    void N1Click(fw::Component& sender);
    void FormCloseQuery(fw::Component& sender, bool& canClose);
    void FormClose(fw::Component& sender, fw::CloseAction& action);
    // WM_QUERYENDSESSION: the session may end; nothing closes here.
    bool WMQueryEndSession();
    // WM_POWERBROADCAST: the checks stop for a sleep and take their time
    // after the wake.
    void WMPowerBroadcast(PowerEvent event);

protected:
    void LayoutRead() override;
    bool QueryEndSession() override { return WMQueryEndSession(); }
    // The session really ends: save as a real close does, then end.
    void EndSession() override;
    void PowerChanged(PowerEvent event) override { WMPowerBroadcast(event); }

private:
    // The Save with the fields as they stand.
    void SaveFields();
    // The program ends: no check starts, and what is under way is cancelled
    // and never answers.
    void StopChecks();
    // The timer's period for an interval in seconds: milliseconds, taken
    // modulo 2^32 as the platform timer does.
    void SetTimerPeriod(std::int32_t seconds);
    // The six settings as the fields show them now.
    MonitorSettings FieldSettings() const;
    // A probe on its worker; its result goes to the cycle when it comes.
    // Past the bound (the call is then cancelled as far as it can be), or
    // while as many calls left behind as the worker's cap still run, the
    // probe fails.
    void StartProbe(const std::function<Text(const Text&)>& probe, const Text& target);
    // The cycle's alert on its worker; past the bound it counts as not
    // delivered, and as raised all the same.
    void StartAlert(const Text& computer, const Text& message);
    MonitorServices services_;
    // One worker for the probes, one for the cycle's alert and one for the
    // user's test message: an alert still goes out while a probe left
    // behind hangs on the network, and a test message while the cycle's
    // alert waits for a remote computer. Destroyed with the window, they
    // cancel what is under way, whose answer then never comes.
    fw::BoundedWorker probes_;
    fw::BoundedWorker alerts_;
    fw::BoundedWorker testAlerts_;
    MonitorSettings settings_;
    MonitorCounters counters_;
    std::unique_ptr<CheckCycle> cycle_;
    std::unique_ptr<fw::SuspendResumeNotification> powerNotices_;
};

}  // namespace tarvik
