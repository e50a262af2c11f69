// An icon picture: built from an icon file image (the .ico layout), written
// back as one byte for byte, copied, and asked for its platform handle.
// Objects that keep icons (the tray icon, the icon list) copy pictures into
// icon objects of their own and listen to OnChange. A layout writes the
// picture as the binary property "Data".
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/component.h"
#include "system/handles_win.h"

namespace tarvik::fw {

class Icon : public Persistent {
public:
    using ChangeEvent = std::function<void(Icon& sender)>;

    Icon() = default;
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;

    // Replaces the picture with the icon file image in `data`; the image
    // closest to the small-icon size becomes the handle. Throws
    // tarvik::Error("Icon image is not valid") for anything that is not a
    // whole icon file image; the icon is unchanged then.
    void LoadFromImage(const std::uint8_t* data, std::size_t size);
    void LoadFromImage(const std::vector<std::uint8_t>& data) { LoadFromImage(data.data(), data.size()); }

    // Takes a copy of a platform icon (LoadIconA's icons are shared and must
    // not be destroyed, so the icon never adopts the caller's handle).
    void LoadFromHandle(HICON icon);

    // The icon file image: the bytes it was built from, or, for an icon
    // taken from a handle, a 32-bit image drawn from it. Empty without image.
    std::vector<std::uint8_t> SaveToImage() const;

    // Becomes a copy of `source` (a picture of its own, its own handle).
    void Assign(const Icon& source);
    void Clear();

    bool HasImage() const { return static_cast<bool>(handle_); }
    HICON Handle() const { return handle_.Get(); }

    // Runs after every change of the picture.
    ChangeEvent OnChange;

    // "Data": binary, an icon file image.
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;
    Text ClassName() const override { return "TIcon"; }

private:
    void Changed();

    IconHandle handle_;
    std::vector<std::uint8_t> image_;  // empty for an icon taken from a handle
};

using TIcon = Icon;

}  // namespace tarvik::fw
