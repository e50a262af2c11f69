#include "framework/layout_resource.h"

#include <windows.h>

#include "base/error.h"

namespace tarvik::fw {

Text LoadLayoutResource(const Text& resourceName) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, resourceName.c_str(), reinterpret_cast<LPCSTR>(RT_RCDATA));
    if (!resource) throw Error("Resource " + resourceName + " not found");
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw Error("Resource " + resourceName + " not found");
    return Text(static_cast<const char*>(data), SizeofResource(module, resource));
}

}  // namespace tarvik::fw
