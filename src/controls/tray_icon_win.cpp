#include "controls/tray_icon_win.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "base/error.h"
#include "framework/application_win.h"
#include "framework/component_classes.h"
#include "framework/form_win.h"
#include "framework/layout_reader.h"
#include "framework/pointer_input_win.h"
#include "system/error_report_win.h"
#include "system/wide_text_win.h"
#include "system/window_win.h"

namespace tarvik {

namespace {

const char kWindowClass[] = "TarvikTrayWindow";
constexpr UINT_PTR kAddRetryTimer = 1;
constexpr std::size_t kTipBytes = 63;  // the record's 64-character field and its zero
constexpr UINT kNotifyFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
#ifndef _WIN64
// The first-version wide record, which every shell (XP's too) understands,
// as the 32-bit program hands it over.
static_assert(NOTIFYICONDATAW_V1_SIZE == 152, "the first-version wide notification record is 152 bytes");
#endif

// The shell's notice that it has (re)started its notification area: every
// icon has to be added again then.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

}  // namespace

void RegisterTrayIconClass() {
    fw::RegisterComponentClass("TTrayIcon", [](fw::Component& owner) { return new TTrayIcon(&owner); });
}

// The hidden window the shell talks to: an ownerless top-level pop-up (so
// that it also hears the shell's broadcasts), a tool window of zero size.
class TTrayIcon::MessageWindow : public fw::WindowBase {
public:
    explicit MessageWindow(TTrayIcon& owner) : owner_(owner) {
        RegisterOwnClass(kWindowClass, 0, nullptr);
        CreateWindowHandle(WS_EX_TOOLWINDOW, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
        // An elevated program hears no broadcast of the (plain) shell unless
        // it lets it in.
        AcceptFromLowerRights(TaskbarCreatedMessage());
    }
    ~MessageWindow() override { DestroyWindowHandle(); }

    HWND Handle() const { return WindowHandleOrNull(); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        return owner_.TrayWindowProc(WindowHandleOrNull(), message, wParam, lParam);
    }

private:
    TTrayIcon& owner_;
};

// "Icon.Data" and "Icons.Icons" from a layout: the write goes to the icon or
// the list under the lock, as every other change of them does.
class TTrayIcon::LockedPart : public fw::Persistent {
public:
    LockedPart(TrayLock& lock, fw::Persistent& target) : lock_(lock), target_(target) {}
    bool ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) override {
        Guard guard(lock_.section);
        // No request naming an old picture may still be on its way.
        Guard shell(lock_.shell);
        return target_.ReadProperty(name, value, reader);
    }

private:
    TrayLock& lock_;
    fw::Persistent& target_;
};

TTrayIcon::TTrayIcon(fw::Component* owner)
    : fw::Component(owner),
      lock_(std::make_shared<TrayLock>()),
      messageWindow_(std::make_unique<MessageWindow>(*this)),
      iconPart_(std::make_unique<LockedPart>(*lock_, icon_)),
      iconsPart_(std::make_unique<LockedPart>(*lock_, icons_)) {
    icon_.OnChange = [this](fw::Icon&) { RefreshTray(); };
    icons_.OnListChanged = [this](TIconList&) { RefreshTray(); };
}

TTrayIcon::~TTrayIcon() {
    {
        // Marked destroying under the lock: the animation thread reads the
        // mark under it too.
        Guard guard(lock_->section);
        // The animation thread's last request has reached the shell before
        // the pictures and the window it names go.
        Guard shell(lock_->shell);
        BeginDestroy();
        enabled_ = false;
        icon_.OnChange = nullptr;
        icons_.OnListChanged = nullptr;
        try {
            ChangeAnimated(false);
            DropFromTray();
        } catch (...) {
            fw::ReportCurrentException();
        }
    }
    messageWindow_.reset();
}

// ---- properties ----------------------------------------------------------

bool TTrayIcon::Active() const {
    Guard guard(lock_->section);
    return active_;
}

void TTrayIcon::SetActive(bool value) {
    Guard guard(lock_->section);
    if (value == active_) return;
    active_ = value;
    if (active_) {
        ShowInTray();
    } else {
        DropFromTray();
        StopAddRetry();
    }
}

bool TTrayIcon::Enabled() const {
    Guard guard(lock_->section);
    return enabled_;
}

void TTrayIcon::SetEnabled(bool value) {
    Guard guard(lock_->section);
    enabled_ = value;
}

Text TTrayIcon::Hint() const {
    Guard guard(lock_->section);
    return hint_;
}

void TTrayIcon::SetHint(const Text& value) {
    Guard guard(lock_->section);
    if (value == hint_) return;
    hint_ = value;
    RefreshTray();
}

void TTrayIcon::SetIcon(const fw::Icon* icon) {
    Guard guard(lock_->section);
    if (icon == &icon_) return;
    // No request naming the old picture may still be on its way.
    Guard shell(lock_->shell);
    if (icon) {
        icon_.Assign(*icon);
    } else {
        icon_.Clear();
    }
}

void TTrayIcon::SetDrawnPictures(HICON still, std::vector<HICON> frames) {
    Guard guard(lock_->section);
    if (still == drawnStill_ && frames == drawnFrames_) return;
    drawnStill_ = still;
    drawnFrames_ = std::move(frames);
    RefreshTray();
}

void TTrayIcon::SetIcons(const fw::Persistent* source) {
    Guard guard(lock_->section);
    Guard shell(lock_->shell);  // as in SetIcon
    icons_.CopyFrom(source);
}

bool TTrayIcon::Animated() const {
    Guard guard(lock_->section);
    return animated_;
}

void TTrayIcon::SetAnimated(bool value) {
    Guard guard(lock_->section);
    ChangeAnimated(value);
}

std::uint16_t TTrayIcon::Interval() const {
    Guard guard(lock_->section);
    return interval_;
}

void TTrayIcon::SetInterval(std::uint16_t milliseconds) {
    Guard guard(lock_->section);
    interval_ = milliseconds;
}

void TTrayIcon::SetPopupMenu(fw::PopupMenu* menu) {
    if (menu == popupMenu_) return;
    popupMenu_ = menu;
    if (menu) FreeNotification(menu);
}

void TTrayIcon::PeerRemoved(fw::Component* peer) {
    fw::Component::PeerRemoved(peer);
    if (peer == popupMenu_) popupMenu_ = nullptr;
}

bool TTrayIcon::IconShown() const {
    Guard guard(lock_->section);
    return iconShown_;
}

HWND TTrayIcon::MessageWindowHandle() const {
    return messageWindow_ ? messageWindow_->Handle() : nullptr;
}

NOTIFYICONDATAW TTrayIcon::NotifyRecord() const {
    Guard guard(lock_->section);
    return notifyRecord_;
}

int TTrayIcon::FrameIndex() const {
    Guard guard(lock_->section);
    return frameIndex_;
}

// ---- the notification area ----------------------------------------------

const fw::Icon* TTrayIcon::CurrentIcon() const {
    const int count = icons_.IconCount();
    if (count > 0 && animated_) return icons_.IconAt(std::clamp(frameIndex_, 0, count - 1));
    return &icon_;
}

HICON TTrayIcon::CurrentHandle() const {
    const fw::Icon* icon = CurrentIcon();
    if (!icon) return nullptr;
    HICON drawn = nullptr;
    if (icon == &icon_) {
        drawn = drawnStill_;
    } else {
        const auto index = static_cast<std::size_t>(std::clamp(frameIndex_, 0, icons_.IconCount() - 1));
        if (index < drawnFrames_.size()) drawn = drawnFrames_[index];
    }
    return drawn && icon->HasImage() ? drawn : icon->Handle();
}

Text TTrayIcon::ShortHint() const {
    Text tip = hint_.substr(0, hint_.find('|'));
    if (tip.size() > kTipBytes) tip.resize(kTipBytes);
    return tip;
}

void TTrayIcon::FillNotifyRecord() {
    // The first-version wide record: every shell understands it, its size
    // is 152 bytes in the 32-bit program, and its tooltip reads right on a
    // system of any code page.
    notifyRecord_.cbSize = NOTIFYICONDATAW_V1_SIZE;
    notifyRecord_.hWnd = MessageWindowHandle();
    notifyRecord_.uID = 0;
    notifyRecord_.uFlags = kNotifyFlags;
    notifyRecord_.hIcon = CurrentHandle();
    const std::wstring tip = fw::Wide(ShortHint());
    std::memset(notifyRecord_.szTip, 0, sizeof notifyRecord_.szTip);
    tip.copy(notifyRecord_.szTip, tip.size());
    notifyRecord_.uCallbackMessage = kTrayCallbackMessage;
}

BOOL TTrayIcon::SendToShell(DWORD message) {
    // A frame advance's modify and delete go out after the lock; their
    // results are not looked at. (It never adds: the thread is paused
    // while the icon is out of the tray.)
    if (keptRequests_ && message != NIM_ADD) {
        keptRequests_->push_back({message, notifyRecord_});
        return TRUE;
    }
    Guard shell(lock_->shell);
    if (keptRequests_) SendTrayRequests(std::exchange(*keptRequests_, {}));  // in order
    return CallTrayShell(message, notifyRecord_);
}

void TTrayIcon::ShowInTray() {
    DropFromTray();
    const fw::Icon* icon = CurrentIcon();
    if (!icon || !icon->HasImage()) {
        StopAddRetry();
        return;
    }
    buttonsDown_ = 0;
    FillNotifyRecord();
    iconShown_ = SendToShell(NIM_ADD) != FALSE;
    // At log-on the shell often refuses or times out the first add, and with
    // every check succeeding nothing may change for hours: a hidden program
    // would have no icon and no taskbar button. So try again on our own.
    if (iconShown_) {
        StopAddRetry();
    } else {
        StartAddRetry();
    }
    if (iconShown_ && notifyRecord_.szTip[0] == '\0') SendToShell(NIM_MODIFY);
    // A paused animation goes on only while the icon is really there; after
    // a refused add it stays paused until an add succeeds.
    if (animated_ && iconShown_ && animationThread_) animationThread_->Proceed();
}

// On the owning thread, whose window the timer belongs to (the animation
// thread never adds: it is paused while the icon is out of the tray). The
// delete that every add begins with keeps a retry from giving a second icon
// where the shell reported a time-out but took the first.
void TTrayIcon::StartAddRetry() {
    const HWND window = MessageWindowHandle();
    if (window && SetTimer(window, kAddRetryTimer, addRetryInterval_, nullptr)) addRetrying_ = true;
}

void TTrayIcon::StopAddRetry() {
    if (!addRetrying_) return;
    addRetrying_ = false;
    if (const HWND window = MessageWindowHandle()) KillTimer(window, kAddRetryTimer);
}

void TTrayIcon::DropFromTray() {
    SendToShell(NIM_DELETE);
    iconShown_ = false;
    buttonsDown_ = 0;
    if (animated_ && animationThread_ && !animationThread_->Paused()) animationThread_->Pause();
}

void TTrayIcon::RefreshTray() {
    if (icons_.IconCount() == 0) ChangeAnimated(false);
    if (iconShown_) {
        const fw::Icon* icon = CurrentIcon();
        if (!icon || !icon->HasImage()) {
            DropFromTray();
        } else {
            FillNotifyRecord();
            SendToShell(NIM_MODIFY);
        }
    } else if (active_) {
        ShowInTray();
    }
}

void TTrayIcon::ChangeAnimated(bool value) {
    const bool effective = value && icons_.IconCount() > 0;
    if (effective == animated_) return;
    if (effective) {
        animationThread_ = new TTimerThread(lock_, this, !iconShown_);
        animated_ = true;
    } else {
        animated_ = false;
        // After Stop the thread only waits for the lock to end; it is never
        // touched again.
        if (TTimerThread* thread = std::exchange(animationThread_, nullptr)) thread->Stop();
    }
    frameIndex_ = 0;
    RefreshTray();
}

std::vector<TrayShellRequest> TTrayIcon::AdvanceFrame() {
    Guard guard(lock_->section);
    std::vector<TrayShellRequest> requests;
    if (IsDestroying() || !animated_) return requests;
    // Kept, not sent, for the length of this advance only.
    keptRequests_ = &requests;
    struct Keeping {
        TTrayIcon& icon;
        ~Keeping() { icon.keptRequests_ = nullptr; }
    } keeping{*this};
    ++frameIndex_;
    if (frameIndex_ >= icons_.IconCount()) frameIndex_ = 0;
    RefreshTray();
    return requests;
}

void TTrayIcon::AnimationThreadEnded(TTimerThread& thread) {
    if (animationThread_ != &thread) return;
    animationThread_ = nullptr;
    if (!animated_) return;
    animated_ = false;
    frameIndex_ = 0;
    RefreshTray();
}

// ---- layout ---------------------------------------------------------------

void TTrayIcon::FinishLoading() {
    fw::Component::FinishLoading();
    Guard guard(lock_->section);
    if (active_) ShowInTray();
}

void TTrayIcon::SetParentComponent(fw::Component*) {
    // Not a control: it sits on no window of the form.
}

bool TTrayIcon::ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) {
    using fw::LayoutReader;
    if (name == "Active") {
        SetActive(LayoutReader::Boolean(value));
    } else if (name == "Enabled") {
        SetEnabled(LayoutReader::Boolean(value));
    } else if (name == "Hint") {
        SetHint(LayoutReader::String(value));
    } else if (name == "Animated") {
        SetAnimated(LayoutReader::Boolean(value));
    } else if (name == "Interval") {
        const std::int64_t interval = LayoutReader::Integer(value);
        if (interval < 0 || interval > 0xFFFF)
            throw Error("the number " + std::to_string(interval) + " is out of range");
        SetInterval(static_cast<std::uint16_t>(interval));
    } else if (name == "PopupMenu") {
        reader.Reference(value, [this](fw::Component* component) {
            auto* menu = dynamic_cast<fw::PopupMenu*>(component);
            if (component && !menu) throw Error(component->Name() + " is not a pop-up menu");
            SetPopupMenu(menu);
        });
    } else if (name == "ShowDesign") {
        SetShowDesign(LayoutReader::Boolean(value));
    } else if (name == "OnClick") {
        OnClick = reader.Handler<fw::MouseEvent>(value);
    } else if (name == "OnDblClick") {
        OnDblClick = reader.Handler<fw::NotifyEvent>(value);
    } else if (name == "OnMouseMove") {
        OnMouseMove = reader.Handler<fw::MouseMoveEvent>(value);
    } else if (name == "OnMouseDown") {
        OnMouseDown = reader.Handler<fw::MouseEvent>(value);
    } else if (name == "OnMouseUp") {
        OnMouseUp = reader.Handler<fw::MouseEvent>(value);
    } else {
        return fw::Component::ReadProperty(name, value, reader);
    }
    return true;
}

fw::Persistent* TTrayIcon::SubObject(const Text& name) {
    if (name == "Icon") return iconPart_.get();
    if (name == "Icons") return iconsPart_.get();
    return fw::Component::SubObject(name);
}

// ---- mouse notices and the menu --------------------------------------------

LRESULT TTrayIcon::TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TaskbarCreatedMessage()) {
        // The shell restarted and lost every icon: add ours again, or a
        // program whose window is hidden could no longer be reached.
        Guard guard(lock_->section);
        if (active_ && !IsDestroying()) ShowInTray();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_TIMER && wParam == kAddRetryTimer) {
        Guard guard(lock_->section);
        if (active_ && !IsDestroying() && !iconShown_) {
            ShowInTray();
        } else {
            StopAddRetry();
        }
        return 0;
    }
    if (message != kTrayCallbackMessage || !Enabled()) return DefWindowProcW(window, message, wParam, lParam);
    try {
        HandleMouseNotice(static_cast<UINT>(lParam));
    } catch (...) {
        fw::ReportCurrentException();
    }
    return 0;
}

// The events of a notice about the icon. The press of a button whose
// release may click is kept in ButtonsDown, under the lock: adding or
// deleting the icon, on either thread, forgets it.
class TTrayIcon::NoticeEvents final : public fw::MouseTarget {
public:
    explicit NoticeEvents(TTrayIcon& icon) : icon_(icon) {}
    void PressCounted(fw::MouseButton button) override {
        Guard guard(icon_.lock_->section);
        icon_.buttonsDown_ |= Bit(button);
    }
    bool PressReleased(fw::MouseButton button) override {
        Guard guard(icon_.lock_->section);
        const bool wasDown = (icon_.buttonsDown_ & Bit(button)) != 0;
        icon_.buttonsDown_ &= ~Bit(button);
        return wasDown;
    }
    void PointerMove(fw::ShiftState shift, int x, int y) override { icon_.HandleMouseMove(shift, x, y); }
    void PointerDown(fw::MouseButton button, fw::ShiftState shift, int x, int y) override {
        icon_.HandleMouseDown(button, shift, x, y);
    }
    void PointerUp(fw::MouseButton button, fw::ShiftState shift, int x, int y) override {
        icon_.HandleMouseUp(button, shift, x, y);
    }
    void PointerClick(fw::MouseButton button, fw::ShiftState shift, int x, int y) override {
        icon_.HandleClick(button, shift, x, y);
    }
    void PointerDoubleClick() override { icon_.HandleDblClick(); }

private:
    static unsigned Bit(fw::MouseButton button) { return button == fw::MouseButton::mbLeft ? kLeftDown : kRightDown; }
    TTrayIcon& icon_;
};

void TTrayIcon::HandleMouseNotice(UINT notice) {
    if (notice < WM_MOUSEMOVE || notice > WM_MBUTTONDBLCLK) return;
    // The notice carries no position and no key flags: both as they are now.
    POINT point{};
    GetCursorPos(&point);
    fw::MouseRules rules;
    rules.rightButtonClicks = true;  // the menu opens on the right button's click
    rules.pressCountsBeforeDown = false;
    rules.doubleClickForgetsPress = false;
    NoticeEvents events(*this);
    fw::TranslateMouse(notice, point.x, point.y, rules, events);
}

void TTrayIcon::HandleDblClick() {
    if (RunDefaultMenuItem()) return;
    fw::Raise(OnDblClick, *this);
}

void TTrayIcon::HandleClick(fw::MouseButton button, fw::ShiftState shift, int x, int y) {
    if (button == fw::MouseButton::mbRight && TryPopupMenu(x, y)) return;
    fw::Raise(OnClick, *this, button, shift, x, y);
}

void TTrayIcon::HandleMouseDown(fw::MouseButton button, fw::ShiftState shift, int x, int y) {
    fw::Raise(OnMouseDown, *this, button, shift, x, y);
}

void TTrayIcon::HandleMouseMove(fw::ShiftState shift, int x, int y) {
    fw::Raise(OnMouseMove, *this, shift, x, y);
}

void TTrayIcon::HandleMouseUp(fw::MouseButton button, fw::ShiftState shift, int x, int y) {
    fw::Raise(OnMouseUp, *this, button, shift, x, y);
}

bool TTrayIcon::TryPopupMenu(int x, int y) {
    if (!Active() || !popupMenu_ || !popupMenu_->AutoPopup()) return false;
    popupMenu_->SetPopupComponent(this);
    fw::Application& application = fw::Application::Instance();
    if (!IsDestroying()) {
        fw::Form* form = application.ActiveForm();
        if (!form) form = application.MainForm();
        if (form) form->CancelMode();
    }
    // The menu closes when the user clicks elsewhere only if its owner window
    // is in the foreground.
    const HWND window = MessageWindowHandle();
    auto takeForeground = [window] {
        if (IsWindowEnabled(window)) SetForegroundWindow(window);
    };
    takeForeground();
    application.ProcessMessages();
    // The pending messages may have destroyed the menu.
    if (!popupMenu_) {
        takeForeground();
        return false;
    }
    try {
        popupMenu_->Popup(x, y);
    } catch (...) {
        takeForeground();
        throw;
    }
    takeForeground();
    return true;
}

bool TTrayIcon::RunDefaultMenuItem() {
    if (!Active() || !popupMenu_ || popupMenu_->Items().empty()) return false;
    for (fw::MenuItem* item : popupMenu_->Items()) {
        if (item->Default() && item->Enabled()) {
            item->Click();
            return true;
        }
    }
    return false;
}

}  // namespace tarvik
