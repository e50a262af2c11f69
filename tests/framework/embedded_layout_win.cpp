#include <windows.h>

#include "embedded_layout.h"

namespace tarvik::fw {

Text EmbeddedSampleLayout() {
    HRSRC info = FindResourceA(nullptr, "SAMPLE", MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL data = info ? LoadResource(nullptr, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return Text();
    return Text(static_cast<const char*>(bytes), SizeofResource(nullptr, info));
}

}  // namespace tarvik::fw
