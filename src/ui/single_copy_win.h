// One running copy per settings file. Users start the program again when
// they cannot see its icon, and a second copy would check, alert and animate
// twice and overwrite the first one's settings when it closes; so the first
// copy claims its settings file, and a later start of the same program file
// only asks it to show its window. Copies in other folders have files of
// their own and run side by side.
#pragma once

#include <functional>
#include <string>

#include "system/handles_win.h"
#include "system/window_win.h"

namespace tarvik {

class SingleCopy {
public:
    // Who holds the claim when this copy does not.
    enum class Holder { None, ThisSession, OtherSession };

    // Claims `settingsPath` (a full path, in any case, its folder in short or
    // long form) for this process, in this session's namespace and in the
    // whole computer's, until the object is gone.
    explicit SingleCopy(const std::wstring& settingsPath);

    // False when another copy holds the claim, in this session or another.
    // Where the system cannot tell (no object could be made at all), the
    // claim counts as this copy's, so the program still runs.
    bool Claimed() const { return holder_ == Holder::None; }
    Holder HeldBy() const { return holder_; }

    // A copy in this session holds the claim: asks it to bring its window
    // to the front (shown, restored when minimised, raised and activated),
    // and lets it come to the foreground. Nothing happens while that copy is still starting (its
    // first-start box open): it has no window to show yet.
    void AskHolderToShow() const;

    // The claim's name without its namespace: ASCII, no backslash.
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    fw::KernelHandle localMutex_, globalMutex_;
    Holder holder_ = Holder::None;
};

// Hears the requests of later starts while it lives (a window that only
// takes messages, titled with the claim's name) and runs `show` for each, on
// the thread that made it.
class ShowRequestListener : public fw::WindowBase {
public:
    ShowRequestListener(const SingleCopy& copy, std::function<void()> show);
    ~ShowRequestListener() override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::function<void()> show_;
};

}  // namespace tarvik
