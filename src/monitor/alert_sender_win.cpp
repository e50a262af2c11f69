#include "monitor/alert_sender.h"

#include <windows.h>
#include <objbase.h>

#include <cstring>
#include <memory>

#include "framework/handles_win.h"
#include "framework/message_box_win.h"
#include "monitor/fault_shield.h"
#include "monitor/system_library_win.h"

namespace tarvik {

namespace {

constexpr unsigned kSystemModalError = MB_SYSTEMMODAL | MB_ICONERROR;  // 0x1010

using NetMessageBufferSendFunction = DWORD(WINAPI*)(LPCWSTR serverName, LPCWSTR messageName, LPCWSTR fromName,
                                                    LPBYTE buffer, DWORD bufferLength);

struct TaskMemoryFree {
    void operator()(wchar_t* memory) const { CoTaskMemFree(memory); }
};
using WideText = std::unique_ptr<wchar_t[], TaskMemoryFree>;

// The text and its terminating zero in UTF-16, from the system's ANSI code
// page; null when memory runs out.
WideText ToWide(const Text& text) {
    const std::size_t count = text.size() + 1;
    WideText wide(static_cast<wchar_t*>(CoTaskMemAlloc(count * sizeof(wchar_t))));
    if (!wide) return wide;
    std::memset(wide.get(), 0, count * sizeof(wchar_t));
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(count), wide.get(), static_cast<int>(count));
    return wide;
}

}  // namespace

bool SendAlertMessage(const Text& computer, const Text& message) {
    const fw::LibraryHandle netapi = LoadSystemLibrary("NetApi32.dll");
    if (!netapi) {
        fw::PlatformMessageBox("NetApi32.dll не загружена.", std::nullopt, kSystemModalError);
        return false;
    }
    const auto send = reinterpret_cast<NetMessageBufferSendFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(netapi.Get(), "NetMessageBufferSend")));
    if (!send) {
        fw::PlatformMessageBox("Функция NetMessageBufferSend не обнаружена.", std::nullopt, kSystemModalError);
        return false;
    }

    const WideText wideMessage = ToWide(message);
    const WideText wideComputer = ToWide(computer);
    if (!wideMessage || !wideComputer) return false;
    const DWORD length = static_cast<DWORD>((message.size() + 1) * sizeof(wchar_t));

    // Where the service is only a stub (Wine), calling it raises an exception
    // that nothing handles; that counts as a refused message, not a crash.
    DWORD status = ERROR_GEN_FAILURE;
    const bool returned = RunShieldedFromFaults([&] {
        status = send(nullptr, wideComputer.get(), nullptr, reinterpret_cast<LPBYTE>(wideMessage.get()), length);
    });
    return returned && status == 0;
}

}  // namespace tarvik
