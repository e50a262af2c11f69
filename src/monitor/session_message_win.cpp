#include "monitor/session_message.h"

#include <windows.h>
#include <wtsapi32.h>

#include <cwchar>
#include <string>
#include <vector>

#include "system/handles_win.h"
#include "system/program_file_win.h"
#include "system/system_library_win.h"
#include "system/wide_text_win.h"

namespace tarvik {

namespace {

// The terminal services' functions, from the system folder's wtsapi32.dll
// (every Windows since XP has them).
class SessionService {
public:
    SessionService() : library_(fw::LoadSystemLibrary("wtsapi32.dll")) {
        if (!library_) return;
        found_ = Find(openServer, "WTSOpenServerW") && Find(closeServer, "WTSCloseServer") &&
                 Find(enumerateSessions, "WTSEnumerateSessionsW") &&
                 Find(querySession, "WTSQuerySessionInformationW") && Find(sendMessage, "WTSSendMessageW") &&
                 Find(freeMemory, "WTSFreeMemory");
    }
    bool Found() const { return found_; }

    decltype(&WTSOpenServerW) openServer = nullptr;
    decltype(&WTSCloseServer) closeServer = nullptr;
    decltype(&WTSEnumerateSessionsW) enumerateSessions = nullptr;
    decltype(&WTSQuerySessionInformationW) querySession = nullptr;
    decltype(&WTSSendMessageW) sendMessage = nullptr;
    decltype(&WTSFreeMemory) freeMemory = nullptr;

private:
    template <class Function>
    bool Find(Function& function, const char* name) {
        function = fw::FindEntry<Function>(library_.Get(), name);
        return function != nullptr;
    }

    fw::LibraryHandle library_;
    bool found_ = false;
};

struct Session {
    DWORD id;
    bool active;
};

std::vector<Session> Sessions(const SessionService& wts, HANDLE server) {
    std::vector<Session> sessions;
    WTS_SESSION_INFOW* info = nullptr;
    DWORD count = 0;
    if (!wts.enumerateSessions(server, 0, 1, &info, &count) || !info) return sessions;
    for (DWORD i = 0; i < count; ++i) sessions.push_back({info[i].SessionId, info[i].State == WTSActive});
    wts.freeMemory(info);
    return sessions;
}

std::wstring UserName(const SessionService& wts, HANDLE server, DWORD session) {
    wchar_t* name = nullptr;
    DWORD bytes = 0;
    if (!wts.querySession(server, session, WTSUserName, &name, &bytes) || !name) return std::wstring();
    std::wstring result(name, wcsnlen(name, bytes / sizeof(wchar_t)));
    wts.freeMemory(name);
    return result;
}

// Names compared as Windows compares computer and user names: without regard
// to case, in any script.
bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a.c_str(),
                          static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool IsThisComputer(const std::wstring& name) {
    if (name.empty() || name == L"." || SameName(name, L"LocalHost")) return true;
    wchar_t own[256];
    DWORD length = 256;
    if (GetComputerNameW(own, &length) && SameName(name, std::wstring(own, length))) return true;
    length = 256;
    return GetComputerNameExW(ComputerNameDnsHostname, own, &length) && SameName(name, std::wstring(own, length));
}

// One box in each active session of the list, none waited for.
class Box {
public:
    Box(const SessionService& wts, const Text& title, const Text& text)
        : wts_(wts), title_(fw::ToWide(title)), text_(fw::ToWide(text)), titleBytes_(BytesOf(title_)),
          textBytes_(BytesOf(text_)) {}
    bool Ready() const { return title_ && text_; }

    bool ShowIn(HANDLE server, const std::vector<Session>& sessions) const {
        bool shown = false;
        for (const Session& session : sessions) {
            if (!session.active) continue;
            DWORD response = 0;
            if (wts_.sendMessage(server, session.id, title_.get(), titleBytes_, text_.get(), textBytes_,
                                 MB_OK | MB_ICONWARNING, 0, &response, FALSE))
                shown = true;
        }
        return shown;
    }

private:
    static DWORD BytesOf(const fw::WideText& text) {
        return text ? static_cast<DWORD>(wcslen(text.get()) * sizeof(wchar_t)) : 0;
    }

    const SessionService& wts_;
    fw::WideText title_, text_;
    DWORD titleBytes_, textBytes_;
};

// The session this program runs in; the service's own "current session"
// should the system not say.
DWORD OwnSession() {
    DWORD session = 0;
    return ProcessIdToSessionId(GetCurrentProcessId(), &session) ? session : WTS_CURRENT_SESSION;
}

}  // namespace

bool SendSessionMessage(const Text& computer, const Text& message) {
    const SessionService wts;
    if (!wts.Found()) return false;
    const Box box(wts, fw::ProgramFileTitle(), message);
    const fw::WideText wideComputer = fw::ToWide(computer);
    if (!box.Ready() || !wideComputer) return false;
    const std::wstring name(wideComputer.get());

    // This computer means the person at this desk: the program's own
    // session, never the other users of a terminal server or the session
    // that fast user switching happens to show.
    if (IsThisComputer(name)) return box.ShowIn(WTS_CURRENT_SERVER_HANDLE, {{OwnSession(), true}});

    // The messenger's names were user names too: that user's sessions.
    std::vector<Session> users;
    for (const Session& session : Sessions(wts, WTS_CURRENT_SERVER_HANDLE)) {
        const std::wstring user = UserName(wts, WTS_CURRENT_SERVER_HANDLE, session.id);
        if (!user.empty() && SameName(user, name)) users.push_back(session);
    }
    if (!users.empty()) return box.ShowIn(WTS_CURRENT_SERVER_HANDLE, users);

    std::wstring serverName = name;
    const HANDLE server = wts.openServer(&serverName[0]);
    // A failed open gives null, which is also the handle of this computer's
    // own server: never send with it.
    if (!server) return false;
    const bool shown = box.ShowIn(server, Sessions(wts, server));
    wts.closeServer(server);
    return shown;
}

}  // namespace tarvik
