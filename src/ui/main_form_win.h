// The program's only window: statistics, settings fields and help on three
// pages; it starts and stops the checks and decides whether closing hides
// the window or ends the program.
#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include "controls/spin_edit_win.h"
#include "controls/tray_icon_win.h"
#include "framework/bounded_worker_win.h"
#include "framework/controls_win.h"
#include "framework/form_win.h"
#include "framework/menu.h"
#include "framework/timer_win.h"
#include "monitor/check_cycle.h"

namespace tarvik {

class TForm1 : public fw::Form {
public:
    Text ClassName() const override { return "TForm1"; }
    // The probes and the alert sender of the platform.
    static CheckCollaborators PlatformServices();

    // How long a probe or an alert may keep a check waiting (open message
    // boxes not counted): the platform's own time-outs act well before it;
    // it catches what they cannot, such as headers trickled without end or
    // a name service that never answers.
    static constexpr std::chrono::milliseconds kWorkBound{30000};

    // Builds the window from its layout and runs FormCreate. `services`
    // gives the probes and the sender (tests pass doubles), which run on
    // worker threads of the window's, each call within `workBound`; its
    // statistics display is replaced by the window's labels.
    explicit TForm1(CheckCollaborators services = PlatformServices(),
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

protected:
    void LayoutRead() override;
    bool QueryEndSession() override { return WMQueryEndSession(); }
    // The session really ends: save as a real close does, then end.
    void EndSession() override;

private:
    // The Save with the fields as they stand.
    void SaveFields();
    // The timer's period for an interval in seconds: milliseconds, taken
    // modulo 2^32 as the platform timer does.
    void SetTimerPeriod(std::int32_t seconds);
    // The six settings as the fields show them now.
    MonitorSettings FieldSettings() const;
    // A probe or the sender on its worker, the window answering meanwhile.
    // Past the bound (the call is then cancelled as far as it can be), or
    // while as many calls left behind as the worker's cap still run, the
    // probe fails and the alert counts as not delivered; nullopt when the
    // program is ending.
    std::optional<Text> Probe(const std::function<std::optional<Text>(const Text&)>& probe, const Text& target);
    std::optional<bool> SendAlert(const Text& computer, const Text& message);

    CheckCollaborators services_;
    // One worker for the probes and one for the sender: an alert still goes
    // out while a probe left behind hangs on the network.
    fw::BoundedWorker probes_;
    fw::BoundedWorker alerts_;
    // A call was dropped because the program is ending: nothing touches the
    // window after it.
    bool ending_ = false;
    MonitorSettings settings_;
    MonitorCounters counters_;
    std::unique_ptr<CheckCycle> cycle_;
};

}  // namespace tarvik
