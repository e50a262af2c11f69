// TIconList: an ordered list of icons that owns them, tells its owner of every
// change (in batches), and reads and writes the compact stored form that the
// window layout carries as "Icons.Icons". The notification-area icon keeps
// its animation frames in one.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "controls/icon_store.h"
#include "framework/component.h"
#include "framework/icon_win.h"

namespace tarvik {

class TIconList : public fw::Persistent {
public:
    using ListChangedEvent = std::function<void(TIconList& sender)>;

    TIconList() = default;
    ~TIconList() override;
    TIconList(const TIconList&) = delete;
    TIconList& operator=(const TIconList&) = delete;

    // null clears; a TIconList or an icon is copied; anything else throws
    // "Cannot assign a <source class> to a TIconList".
    virtual void CopyFrom(const fw::Persistent* source);

    virtual void NotifyChanged();
    // null for an empty slot. Indices outside the list throw
    // "List index out of bounds (<index>)" here and below.
    virtual fw::Icon* IconAt(int index) const;
    virtual int IconCount() const;
    // `index` may equal the count (appends); the entry becomes a copy.
    virtual void SetIconAt(int index, const fw::Icon* icon);
    virtual int AppendIcon(const fw::Icon* icon);
    virtual int AppendResourceIcon(HINSTANCE module, LPCSTR name);
    virtual void ClearIcons();
    virtual void RemoveIcon(int index);
    virtual void SwapIcons(int first, int second);
    // The index of that very icon object, or -1.
    virtual int FindIcon(const fw::Icon* icon) const;
    virtual void InsertIcon(int index, const fw::Icon* icon);
    virtual void InsertResourceIcon(int index, HINSTANCE module, LPCSTR name);
    // Replaces the contents with a stored list (one notice); on an error the
    // list is left as it was and the error goes to the caller.
    virtual void ReadIcons(const Bytes& stored);
    virtual void MoveIcon(int from, int to);
    virtual Bytes WriteIcons() const;

    // A batch: notices inside it are dropped, and closing the outermost one
    // gives one notice, changed or not.
    void HoldChanges() { ++holdCount_; }
    void ReleaseChanges();
    int HoldCount() const { return holdCount_; }

    ListChangedEvent OnListChanged;

    // "Icons": binary, the stored form.
    bool ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) override;
    Text ClassName() const override { return "TIconList"; }

private:
    using Entry = std::unique_ptr<fw::Icon>;

    class Batch;
    Entry NewEntry(const fw::Icon* copyOf);
    Entry NewResourceEntry(HINSTANCE module, LPCSTR name);
    void Wire(fw::Icon& icon);
    void CheckIndex(int index, int limit) const;
    void ReplaceEntries(std::vector<Entry> entries);

    std::vector<Entry> entries_;
    int holdCount_ = 0;
};

}  // namespace tarvik
