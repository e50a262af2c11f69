// The program's only window: statistics, settings fields and help on three
// pages; it starts and stops the checks and decides whether closing hides
// the window or ends the program.
#pragma once

#include <memory>

#include "controls/spin_edit_win.h"
#include "controls/tray_icon_win.h"
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

    // Builds the window from its layout and runs FormCreate. `services`
    // gives the probes and the sender (tests pass doubles); its statistics
    // display is replaced by the window's labels.
    explicit TForm1(CheckCollaborators services = PlatformServices());
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

    CheckCollaborators services_;
    MonitorSettings settings_;
    MonitorCounters counters_;
    std::unique_ptr<CheckCycle> cycle_;
};

}  // namespace tarvik
