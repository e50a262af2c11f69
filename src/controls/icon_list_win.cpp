#include "controls/icon_list_win.h"

#include <utility>

#include "base/error.h"
#include "framework/layout_reader.h"

namespace tarvik {

// Closes its batch on every way out, errors included.
class TIconList::Batch {
public:
    explicit Batch(TIconList& list) : list_(list) { list_.HoldChanges(); }
    ~Batch() { list_.ReleaseChanges(); }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

private:
    TIconList& list_;
};

TIconList::~TIconList() {
    for (Entry& entry : entries_) {
        if (entry) entry->OnChange = nullptr;
    }
}

void TIconList::ReleaseChanges() {
    if (holdCount_ > 0) --holdCount_;
    if (holdCount_ == 0) NotifyChanged();
}

void TIconList::NotifyChanged() {
    if (holdCount_ == 0 && OnListChanged) OnListChanged(*this);
}

void TIconList::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit) throw Error("List index out of bounds (" + IntToText(index) + ")");
}

void TIconList::Wire(fw::Icon& icon) {
    icon.OnChange = [this](fw::Icon&) { NotifyChanged(); };
}

TIconList::Entry TIconList::NewEntry(const fw::Icon* copyOf) {
    auto icon = std::make_unique<fw::Icon>();
    if (copyOf) icon->Assign(*copyOf);
    Wire(*icon);
    return icon;
}

TIconList::Entry TIconList::NewResourceEntry(HINSTANCE module, LPCSTR name) {
    auto icon = std::make_unique<fw::Icon>();
    icon->LoadFromHandle(LoadIconA(module, name));
    Wire(*icon);
    return icon;
}

fw::Icon* TIconList::IconAt(int index) const {
    CheckIndex(index, IconCount());
    return entries_[index].get();
}

int TIconList::IconCount() const {
    return static_cast<int>(entries_.size());
}

void TIconList::SetIconAt(int index, const fw::Icon* icon) {
    Batch batch(*this);
    CheckIndex(index, IconCount() + 1);
    if (index == IconCount()) entries_.push_back(NewEntry(nullptr));
    Entry& entry = entries_[index];
    if (!entry) entry = NewEntry(nullptr);
    Wire(*entry);
    if (entry.get() == icon) return;
    if (icon) {
        entry->Assign(*icon);
    } else {
        entry->Clear();
    }
}

int TIconList::AppendIcon(const fw::Icon* icon) {
    entries_.push_back(NewEntry(icon));
    NotifyChanged();
    return IconCount() - 1;
}

int TIconList::AppendResourceIcon(HINSTANCE module, LPCSTR name) {
    entries_.push_back(NewResourceEntry(module, name));
    NotifyChanged();
    return IconCount() - 1;
}

void TIconList::InsertIcon(int index, const fw::Icon* icon) {
    CheckIndex(index, IconCount() + 1);
    Entry entry = NewEntry(icon);
    entries_.insert(entries_.begin() + index, std::move(entry));
    NotifyChanged();
}

void TIconList::InsertResourceIcon(int index, HINSTANCE module, LPCSTR name) {
    CheckIndex(index, IconCount() + 1);
    Entry entry = NewResourceEntry(module, name);
    entries_.insert(entries_.begin() + index, std::move(entry));
    NotifyChanged();
}

void TIconList::RemoveIcon(int index) {
    CheckIndex(index, IconCount());
    Entry entry = std::move(entries_[index]);
    entries_.erase(entries_.begin() + index);
    if (entry) entry->OnChange = nullptr;
    entry.reset();
    NotifyChanged();
}

void TIconList::ClearIcons() {
    Batch batch(*this);
    for (int index = IconCount() - 1; index >= 0; --index) RemoveIcon(index);
}

void TIconList::SwapIcons(int first, int second) {
    CheckIndex(first, IconCount());
    CheckIndex(second, IconCount());
    std::swap(entries_[first], entries_[second]);
    NotifyChanged();
}

void TIconList::MoveIcon(int from, int to) {
    CheckIndex(from, IconCount());
    CheckIndex(to, IconCount());
    Entry entry = std::move(entries_[from]);
    entries_.erase(entries_.begin() + from);
    entries_.insert(entries_.begin() + to, std::move(entry));
    NotifyChanged();
}

int TIconList::FindIcon(const fw::Icon* icon) const {
    for (int index = 0; index < IconCount(); ++index) {
        if (entries_[index].get() == icon) return index;
    }
    return -1;
}

// The new entries are built completely before the old ones go: a source that
// is this list, or one of its icons, is then still alive while it is copied,
// and an error leaves the list as it was.
void TIconList::ReplaceEntries(std::vector<Entry> entries) {
    ClearIcons();
    entries_ = std::move(entries);
}

void TIconList::CopyFrom(const fw::Persistent* source) {
    if (!source) {
        ClearIcons();
        return;
    }
    std::vector<Entry> copies;
    if (const auto* list = dynamic_cast<const TIconList*>(source)) {
        copies.reserve(list->entries_.size());
        for (const Entry& entry : list->entries_) copies.push_back(NewEntry(entry.get()));
    } else if (const auto* icon = dynamic_cast<const fw::Icon*>(source)) {
        copies.push_back(NewEntry(icon));
    } else {
        throw Error("Cannot assign a " + source->ClassName() + " to a TIconList");
    }
    Batch batch(*this);
    ReplaceEntries(std::move(copies));
}

void TIconList::ReadIcons(const Bytes& stored) {
    Batch batch(*this);
    std::vector<Entry> entries;
    for (StoredIcon& image : DecodeIconStore(stored)) {
        if (!image) {
            entries.emplace_back();
            continue;
        }
        auto icon = std::make_unique<fw::Icon>();
        icon->LoadFromImage(*image);
        Wire(*icon);
        entries.push_back(std::move(icon));
    }
    ReplaceEntries(std::move(entries));
}

Bytes TIconList::WriteIcons() const {
    std::vector<StoredIcon> images;
    images.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        if (entry && entry->HasImage()) {
            images.emplace_back(entry->SaveToImage());
        } else {
            images.emplace_back(std::nullopt);
        }
    }
    return EncodeIconStore(images);
}

bool TIconList::ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) {
    if (name == "Icons") {
        ReadIcons(fw::LayoutReader::Binary(value));
        return true;
    }
    return fw::Persistent::ReadProperty(name, value, reader);
}

}  // namespace tarvik
