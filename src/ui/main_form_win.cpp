#include "ui/main_form_win.h"

#include "base/error.h"
#include "base/text.h"
#include "base/wrap_arithmetic.h"
#include "framework/application_win.h"
#include "framework/component_classes.h"
#include "monitor/address_probe.h"
#include "monitor/alert_sender.h"
#include "monitor/web_probe.h"
#include "settings/inilib.h"
#include "settings/settings_file.h"
#include "system/steady_clock_win.h"

namespace tarvik {

namespace {
template <class T>
T* Part(fw::Component& form, const Text& name) {
    auto* part = dynamic_cast<T*>(form.FindComponent(name));
    if (!part) throw Error("The window has no part " + name);
    return part;
}

void RegisterClasses() {
    RegisterSpinEditClass();
    RegisterTrayIconClass();
}
}  // namespace

MonitorServices TForm1::PlatformServices() {
    MonitorServices services;
    services.addressProbe = &AddressProbe;
    services.webProbe = [](const Text& url) { return WebProbe(url); };
    services.sendAlert = &SendAlertMessage;
    return services;
}

TForm1::TForm1(MonitorServices services, std::chrono::milliseconds workBound)
    : services_(std::move(services)), probes_(workBound), alerts_(workBound), testAlerts_(workBound) {
    RegisterClasses();
    CheckCollaborators collaborators;
    collaborators.startAddressProbe = [this](const Text& target) { StartProbe(services_.addressProbe, target); };
    collaborators.startWebProbe = [this](const Text& url) { StartProbe(services_.webProbe, url); };
    collaborators.startAlert = [this](const Text& computer, const Text& message) { StartAlert(computer, message); };
    collaborators.cancelProbe = [this] { probes_.Abandon(); };
    collaborators.now = services_.clock ? services_.clock : [] {
        return std::chrono::duration_cast<MonitorTime>(fw::SteadyClock::now().time_since_epoch());
    };
    collaborators.showStatistics = [this](const Text& checks, const Text& successes, const Text& failStreak,
                                          const Text& messages) {
        TProverok->SetCaption(checks);
        TUspeh->SetCaption(successes);
        TNeud->SetCaption(failStreak);
        TUshloMes->SetCaption(messages);
    };
    // The icon animates while checks fail in a row.
    collaborators.setAnimated = [this](bool animated) {
        if (TrayIcon1) TrayIcon1->SetAnimated(animated);
        if (services_.setAnimated) services_.setAnimated(animated);
    };
    cycle_ = std::make_unique<CheckCycle>(settings_, counters_, std::move(collaborators));

    auto& handlers = Handlers();
    using Notify = fw::NotifyEvent;
    handlers.Add<Notify>("FormCreate", [this](fw::Component& s) { FormCreate(s); });
    handlers.Add<Notify>("TimerTimer", [this](fw::Component& s) { TimerTimer(s); });
    handlers.Add<Notify>("Button1Click", [this](fw::Component& s) { Button1Click(s); });
    handlers.Add<Notify>("Button4Click", [this](fw::Component& s) { Button4Click(s); });
    handlers.Add<Notify>("EditComputerExit", [this](fw::Component& s) { EditComputerExit(s); });
    handlers.Add<Notify>("StatusClick", [this](fw::Component& s) { StatusClick(s); });
    handlers.Add<Notify>("N1Click", [this](fw::Component& s) { N1Click(s); });
    handlers.Add<fw::MouseEvent>("TrayIcon1MouseUp",
                                 [this](fw::Component& s, fw::MouseButton b, fw::ShiftState sh, int x, int y) {
                                     TrayIcon1MouseUp(s, b, sh, x, y);
                                 });
    handlers.Add<fw::CloseQueryEvent>("FormCloseQuery",
                                      [this](fw::Component& s, bool& canClose) { FormCloseQuery(s, canClose); });
    handlers.Add<fw::CloseEvent>("FormClose", [this](fw::Component& s, fw::CloseAction& a) { FormClose(s, a); });
    CreateFromLayout("TForm1");
    powerNotices_ = std::make_unique<fw::SuspendResumeNotification>(Handle());
}

TForm1::~TForm1() {
    powerNotices_.reset();
    StopChecks();
    BeginDestroy();
    // The parts go before the cycle whose statistics they show.
    DestroyComponents();
}

void TForm1::LayoutRead() {
    Status = Part<fw::CheckBox>(*this, "Status");
    Label5 = Part<fw::Label>(*this, "Label5");
    IPEdit = Part<fw::Edit>(*this, "IPEdit");
    Label2 = Part<fw::Label>(*this, "Label2");
    HostEdit = Part<fw::Edit>(*this, "HostEdit");
    PageControl1 = Part<fw::PageControl>(*this, "PageControl1");
    TabSheet1 = Part<fw::TabSheet>(*this, "TabSheet1");
    TProverok = Part<fw::Label>(*this, "TProverok");
    TUspeh = Part<fw::Label>(*this, "TUspeh");
    TNeud = Part<fw::Label>(*this, "TNeud");
    TUshloMes = Part<fw::Label>(*this, "TUshloMes");
    Button1 = Part<fw::Button>(*this, "Button1");
    Button4 = Part<fw::Button>(*this, "Button4");
    TabSheet2 = Part<fw::TabSheet>(*this, "TabSheet2");
    GroupBox2 = Part<fw::GroupBox>(*this, "GroupBox2");
    EditInterval = Part<TSpinEdit>(*this, "EditInterval");
    EditAction = Part<TSpinEdit>(*this, "EditAction");
    GroupBox3 = Part<fw::GroupBox>(*this, "GroupBox3");
    EditComputer = Part<fw::Edit>(*this, "EditComputer");
    EditMessage = Part<fw::Edit>(*this, "EditMessage");
    TabSheet3 = Part<fw::TabSheet>(*this, "TabSheet3");
    GroupBox1 = Part<fw::GroupBox>(*this, "GroupBox1");
    Label6 = Part<fw::Label>(*this, "Label6");
    Timer = Part<fw::Timer>(*this, "Timer");
    TrayIcon1 = Part<TTrayIcon>(*this, "TrayIcon1");
    PopupMenu1 = Part<fw::PopupMenu>(*this, "PopupMenu1");
    N1 = Part<fw::MenuItem>(*this, "N1");
}

void TForm1::FormCreate(fw::Component&) {
    IniFileStore store(IniPath());
    // Each value goes to the monitor and its field as it arrives, so a bad
    // number further down keeps what came before it.
    bool status = false;
    LoadSettings(store, settings_, status, [this, &status](SettingKey key) {
        switch (key) {
        case SettingKey::ProbeAddress: IPEdit->SetText(settings_.ProbeAddress); break;
        case SettingKey::ProbeUrl: HostEdit->SetText(settings_.ProbeUrl); break;
        case SettingKey::IntervalSeconds:
            EditInterval->SetValue(settings_.IntervalSeconds);
            SetTimerPeriod(settings_.IntervalSeconds);
            break;
        case SettingKey::AlertThreshold: EditAction->SetValue(settings_.AlertThreshold); break;
        case SettingKey::AlertComputer: EditComputer->SetText(settings_.AlertComputer); break;
        case SettingKey::AlertText: EditMessage->SetText(settings_.AlertText); break;
        case SettingKey::Status: Status->SetChecked(status); break;
        }
    });

    StatusClick(*this);
    if (Status->Checked()) {
        // Monitoring: the program starts in the notification area only.
        fw::Application::Instance().SetShowMainForm(false);
    } else {
        PageControl1->SetActivePage(TabSheet3);
    }
}

void TForm1::TimerTimer(fw::Component&) {
    cycle_->Tick(MonitorTime(Timer->Interval()));
    cycle_->StartCheck(IPEdit->GetText());
}

void TForm1::Button1Click(fw::Component&) {
    cycle_->StartCheck(IPEdit->GetText());
    Timer->SetEnabled(Status->Checked());
    cycle_->TimerStarted();
}

void TForm1::WMPowerBroadcast(PowerEvent event) {
    switch (event) {
    case PowerEvent::Suspend: cycle_->Suspend(); break;
    case PowerEvent::Resume: cycle_->Resume(); break;
    case PowerEvent::QuerySuspend:
    case PowerEvent::Other: break;
    }
}

// Nothing is counted; a press while the last one's send is under way is
// dropped.
void TForm1::Button4Click(fw::Component&) {
    if (!services_.sendAlert) return;
    testAlerts_.Ask([send = services_.sendAlert, computer = settings_.AlertComputer,
                     message = settings_.AlertText] { return send(computer, message); },
                    [](fw::BoundedWorker::Answer<bool> answer) {
                        if (answer.error) std::rethrow_exception(answer.error);
                    });
}

// The worker gets copies of the function and its inputs: a field left
// meanwhile changes nothing of this call, and a worker left behind touches
// nothing of the window's. What the work threw ends the cycle uncounted and
// goes to the error box.
void TForm1::StartProbe(const std::function<Text(const Text&)>& probe, const Text& target) {
    probes_.Ask([probe, target] { return probe(target); }, [this](fw::BoundedWorker::Answer<Text> answer) {
        if (answer.error) {
            cycle_->Abandon();
            std::rethrow_exception(answer.error);
        }
        cycle_->ProbeDone(answer.value);
    });
}

void TForm1::StartAlert(const Text& computer, const Text& message) {
    alerts_.Ask([send = services_.sendAlert, computer, message] { return send(computer, message); },
                [this](fw::BoundedWorker::Answer<bool> answer) {
                    if (answer.error) {
                        cycle_->Abandon();
                        std::rethrow_exception(answer.error);
                    }
                    cycle_->AlertDone();
                });
}

MonitorSettings TForm1::FieldSettings() const {
    MonitorSettings fields;
    fields.ProbeAddress = IPEdit->GetText();
    fields.ProbeUrl = HostEdit->GetText();
    fields.IntervalSeconds = EditInterval->IntegerValue();
    fields.AlertThreshold = EditAction->IntegerValue();
    fields.AlertComputer = EditComputer->GetText();
    fields.AlertText = EditMessage->GetText();
    return fields;
}

void TForm1::EditComputerExit(fw::Component&) {
    settings_ = FieldSettings();
    Timer->SetEnabled(false);
    SetTimerPeriod(settings_.IntervalSeconds);
    Timer->SetEnabled(true);
    cycle_->TimerStarted();
}

void TForm1::StatusClick(fw::Component&) {
    Timer->SetEnabled(Status->Checked());
    cycle_->TimerStarted();
}

// Any button released over the icon brings the window back (after the menu
// has closed, for the right button). A visible window, minimised or not,
// stays as it is: the form's own visibility, since the system hides the
// form while its taskbar button is minimised. The release that follows
// "Закрыть" shows nothing: once a real close has gone through, the form
// never shows again (after a cancelled session end or a refused write the
// program goes on, and the icon still brings the window back).
void TForm1::TrayIcon1MouseUp(fw::Component&, fw::MouseButton, fw::ShiftState, int, int) {
    if (!Visible()) Show();
}

void TForm1::N1Click(fw::Component&) {
    ExitRequested = true;
    Close();
}

void TForm1::FormCloseQuery(fw::Component&, bool& canClose) {
    canClose = !Status->Checked() || ExitRequested;
    // Monitoring goes on in the notification area.
    if (!canClose) Hide();
}

void TForm1::FormClose(fw::Component&, fw::CloseAction&) {
    SaveFields();
    // Saved: the program ends now, whatever a check is waiting for.
    StopChecks();
}

void TForm1::StopChecks() {
    if (Timer) Timer->SetEnabled(false);
    probes_.Abandon();
    alerts_.Abandon();
    testAlerts_.Abandon();
    cycle_->Abandon();
}

void TForm1::SaveFields() {
    // The texts are saved trimmed, the numbers as the fields read them.
    MonitorSettings values = FieldSettings();
    for (Text* text : {&values.ProbeAddress, &values.ProbeUrl, &values.AlertComputer, &values.AlertText})
        *text = Trim(*text);
    IniFileStore store(IniPath());
    SaveSettings(store, values, Status->Checked());
}

bool TForm1::WMQueryEndSession() {
    ExitRequested = true;
    return true;
}

// While monitoring, closing the window only hides it, so the end of the
// session is how the program usually ends: what was typed since the last
// real close would be lost without this Save. Nobody can answer an error box
// now, so a refused write goes unreported and the session ends anyway.
void TForm1::EndSession() {
    try {
        SaveFields();
    } catch (...) {
    }
    StopChecks();
    fw::Form::EndSession();
}

void TForm1::SetTimerPeriod(std::int32_t seconds) {
    Timer->SetInterval(static_cast<std::uint32_t>(WrapMul(seconds, 1000)));
}

}  // namespace tarvik
