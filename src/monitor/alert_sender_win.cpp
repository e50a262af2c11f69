#include "monitor/alert_sender.h"

#include <windows.h>

#include "monitor/fault_shield.h"
#include "monitor/session_message.h"
#include "system/handles_win.h"
#include "system/message_box_win.h"
#include "system/system_library_win.h"
#include "system/wide_text_win.h"

namespace tarvik {

namespace {

constexpr unsigned kSystemModalError = MB_SYSTEMMODAL | MB_ICONERROR;  // 0x1010

using NetMessageBufferSendFunction = DWORD(WINAPI*)(LPCWSTR serverName, LPCWSTR messageName, LPCWSTR fromName,
                                                    LPBYTE buffer, DWORD bufferLength);

}  // namespace

bool SendAlertMessage(const Text& computer, const Text& message) {
    const fw::LibraryHandle netapi = fw::LoadSystemLibrary("NetApi32.dll");
    if (!netapi) {
        fw::PlatformMessageBox("NetApi32.dll не загружена.", std::nullopt, kSystemModalError);
        return false;
    }
    const auto send = fw::FindEntry<NetMessageBufferSendFunction>(netapi.Get(), "NetMessageBufferSend");
    if (!send) {
        fw::PlatformMessageBox("Функция NetMessageBufferSend не обнаружена.", std::nullopt, kSystemModalError);
        return false;
    }

    // From Windows-1251, whatever code page the system uses.
    const fw::WideText wideMessage = fw::ToWide(message);
    const fw::WideText wideComputer = fw::ToWide(computer);
    if (!wideMessage || !wideComputer) return false;
    const DWORD length = static_cast<DWORD>((message.size() + 1) * sizeof(wchar_t));

    // Where the service is only a stub (Wine), calling it raises an exception
    // that nothing handles; that counts as a refused message, not a crash.
    DWORD status = ERROR_GEN_FAILURE;
    const bool returned = RunShieldedFromFaults([&] {
        status = send(nullptr, wideComputer.get(), nullptr, reinterpret_cast<LPBYTE>(wideMessage.get()), length);
    });
    if (returned && status == 0) return true;
    // The messenger is gone since Vista (the call answers ERROR_NOT_SUPPORTED)
    // and stopped unless an administrator starts it on XP SP2 and Server
    // 2003: the same text goes out as a session message instead, rather than
    // being dropped while the program counts it as sent.
    return SendSessionMessage(computer, message);
}

}  // namespace tarvik
