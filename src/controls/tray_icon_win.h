// TTrayIcon: keeps one icon in the notification area while it is active,
// shows the short form of its Hint as the tooltip, turns mouse activity on
// the icon into events, shows its PopupMenu on a right click, runs the menu's
// default item on a left double-click, and, while Animated, cycles through
// the frames of Icons on a TTimerThread.
//
// Threads: everything runs on the owning thread except the frame advance,
// which the animation thread runs itself. The state both touch is guarded by
// the lock shared with the threads (see timer_thread_win.h); the public
// operations take it. Change the still icon and the frames through SetIcon
// and SetIcons (or the layout), not through the const accessors.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "controls/icon_list_win.h"
#include "controls/timer_thread_win.h"
#include "controls/tray_shell_win.h"
#include "framework/component.h"
#include "framework/events.h"
#include "framework/icon_win.h"
#include "framework/menu.h"

namespace tarvik {

// The message the shell sends to the icon's window about mouse activity. It
// lies in the range private to an application (WM_APP, 0x8000, to 0xBFFF),
// so no system or control message can be taken for it; the icon has always
// used this number.
constexpr UINT kTrayCallbackMessage = 0xB054;
static_assert(kTrayCallbackMessage >= WM_APP && kTrayCallbackMessage <= 0xBFFF);

// Makes "TTrayIcon" known to window layouts.
void RegisterTrayIconClass();

class TTrayIcon : public fw::Component, public AnimatedIcon {
public:
    Text ClassName() const override { return "TTrayIcon"; }
    explicit TTrayIcon(fw::Component* owner = nullptr);
    ~TTrayIcon() override;

    bool Active() const;
    void SetActive(bool value);
    bool Enabled() const;
    void SetEnabled(bool value);
    Text Hint() const;
    void SetHint(const Text& value);
    // The still icon; SetIcon copies (null clears).
    const fw::Icon& Icon() const { return icon_; }
    void SetIcon(const fw::Icon* icon);
    // The frames; SetIcons copies like TIconList::CopyFrom (null clears).
    const TIconList& Icons() const { return icons_; }
    void SetIcons(const fw::Persistent* source);
    // Pictures drawn at the size the notification area asks for, shown in
    // place of the still icon and of the frames with the same index (null,
    // or a frame without one: its own picture, scaled). Not owned: shared
    // icons of the program's resources.
    void SetDrawnPictures(HICON still, std::vector<HICON> frames);
    // The animation state: false while Icons is empty, whatever was set.
    bool Animated() const override;
    void SetAnimated(bool value);
    std::uint16_t Interval() const override;
    void SetInterval(std::uint16_t milliseconds);
    fw::PopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(fw::PopupMenu* menu);
    bool ShowDesign() const { return showDesign_; }
    void SetShowDesign(bool value) { showDesign_ = value; }
    // How long after a refused add the icon's own timer tries again (tests
    // shorten it).
    std::uint32_t AddRetryInterval() const { return addRetryInterval_; }
    void SetAddRetryInterval(std::uint32_t milliseconds) { addRetryInterval_ = milliseconds; }

    fw::MouseEvent OnClick;
    fw::NotifyEvent OnDblClick;
    fw::MouseMoveEvent OnMouseMove;
    fw::MouseEvent OnMouseDown;
    fw::MouseEvent OnMouseUp;

    // Whether the last add request succeeded and nothing deleted it since.
    bool IconShown() const;
    // The window the shell sends its notices to.
    HWND MessageWindowHandle() const;
    // A copy of the record last sent to the shell.
    NOTIFYICONDATAW NotifyRecord() const;
    int FrameIndex() const;

    // One animation tick; the animation thread runs it with the lock held.
    // The shell requests it makes come back unsent: the thread sends them
    // (SendTrayRequests) once it has let go of the lock.
    std::vector<TrayShellRequest> AdvanceFrame() override;
    // The animation thread ended without being stopped: the icon forgets it
    // and shows the still picture, and the next SetAnimated(true) starts a
    // new one. Called by the thread with the lock held.
    void AnimationThreadEnded(TTimerThread& thread) override;

    void FinishLoading() override;
    void SetParentComponent(fw::Component* parent) override;
    bool ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) override;
    fw::Persistent* SubObject(const Text& name) override;

protected:
    virtual void FillNotifyRecord();
    virtual void HandleDblClick();
    virtual void HandleClick(fw::MouseButton button, fw::ShiftState shift, int x, int y);
    virtual void HandleMouseDown(fw::MouseButton button, fw::ShiftState shift, int x, int y);
    virtual void HandleMouseMove(fw::ShiftState shift, int x, int y);
    virtual void HandleMouseUp(fw::MouseButton button, fw::ShiftState shift, int x, int y);

    // Shows PopupMenu at the point; true when it was shown.
    bool TryPopupMenu(int x, int y);
    // Clicks the menu's first default, enabled top-level item; true if any.
    bool RunDefaultMenuItem();

    void PeerRemoved(fw::Component* peer) override;

private:
    class MessageWindow;
    class LockedPart;
    class NoticeEvents;
    using Guard = fw::Guard;
    enum Button : unsigned { kLeftDown = 1, kRightDown = 2 };

    friend class MessageWindow;
    LRESULT TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void HandleMouseNotice(UINT notice);

    // All below run with the lock held.
    const fw::Icon* CurrentIcon() const;
    // The handle shown for CurrentIcon: its drawn picture where there is one.
    HICON CurrentHandle() const;
    Text ShortHint() const;
    // Sends the request at once (or keeps it, during AdvanceFrame).
    BOOL SendToShell(DWORD message);
    void ShowInTray();
    void DropFromTray();
    void RefreshTray();
    void ChangeAnimated(bool value);
    void StartAddRetry();
    void StopAddRetry();

    std::shared_ptr<TrayLock> lock_;
    std::unique_ptr<MessageWindow> messageWindow_;
    std::unique_ptr<LockedPart> iconPart_;
    std::unique_ptr<LockedPart> iconsPart_;
    fw::Icon icon_;
    TIconList icons_;
    HICON drawnStill_ = nullptr;
    std::vector<HICON> drawnFrames_;
    NOTIFYICONDATAW notifyRecord_{};
    fw::PopupMenu* popupMenu_ = nullptr;
    TTimerThread* animationThread_ = nullptr;  // not owned: it frees itself
    std::vector<TrayShellRequest>* keptRequests_ = nullptr;  // during AdvanceFrame
    Text hint_;
    int frameIndex_ = -1;
    unsigned buttonsDown_ = 0;
    std::uint16_t interval_ = 150;
    std::uint32_t addRetryInterval_ = 3000;
    bool addRetrying_ = false;
    bool active_ = true;
    bool enabled_ = true;
    bool animated_ = false;
    bool iconShown_ = false;
    bool showDesign_ = false;
};

}  // namespace tarvik
