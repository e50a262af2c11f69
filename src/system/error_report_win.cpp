#include "system/error_report_win.h"

#include <windows.h>

#include <utility>

#include "base/error.h"
#include "system/critical_section_win.h"
#include "system/message_box_win.h"
#include "system/program_file_win.h"

namespace tarvik::fw {

namespace {
// Never destroyed: a worker thread may still report while the program ends
// and the static objects go.
struct InstalledReport {
    CriticalSection lock;
    ErrorReport report;
};

InstalledReport& Installed() {
    static InstalledReport& installed = *new InstalledReport;
    return installed;
}

void Report(const std::exception& error) {
    ErrorReport report;
    {
        Guard guard(Installed().lock);
        report = Installed().report;
    }
    if (report)
        report(error);
    else
        ShowErrorBox(error, ProgramFileTitle());
}
}  // namespace

void ShowErrorBox(const std::exception& error, const Text& caption) {
    AppMessageBox(ErrorBoxText(error.what()), caption, MB_OK | MB_ICONSTOP);
}

void SetErrorReport(ErrorReport report) {
    Guard guard(Installed().lock);
    Installed().report = std::move(report);
}

void ReportCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& error) {
            Report(error);
        } catch (...) {
            Report(Error("Unknown error"));
        }
    } catch (...) {
        // Reporting failed too; nothing is left that could tell the user.
    }
}

}  // namespace tarvik::fw
