#include "system/program_file_win.h"

#include <windows.h>

#include <vector>

#include "base/program_title.h"
#include "system/wide_text_win.h"

namespace tarvik::fw {

std::wstring ProgramFilePath() {
    // The buffer grows rather than cut a long path.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

Text ProgramFileTitle() { return ProgramTitle(Narrow(ProgramFilePath())); }

}  // namespace tarvik::fw
