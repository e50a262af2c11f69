// What becomes of an exception that escapes a handler: a window procedure,
// a thread procedure or a timer, where no exception may cross the system's
// frames. Each such handler catches everything and calls
// ReportCurrentException; the application decides what the report shows.
#pragma once

#include <exception>
#include <functional>

#include "base/text.h"

namespace tarvik::fw {

// The error box: the exception's message with the "." rule, `caption` as
// its caption, a stop icon, as an application message box.
void ShowErrorBox(const std::exception& error, const Text& caption);

// Installs the report of an escaped exception; an empty one restores the
// default, the error box captioned with the program file's title. Set before
// the first window or thread exists; it runs on the thread that caught.
using ErrorReport = std::function<void(const std::exception&)>;
void SetErrorReport(ErrorReport report);

// Call from inside a catch block: reports the exception in flight (one that
// is no std::exception as "Unknown error"). Never throws; a report that
// fails is dropped, since nothing is left that could tell the user.
void ReportCurrentException() noexcept;

}  // namespace tarvik::fw
