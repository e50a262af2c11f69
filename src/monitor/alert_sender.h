// Sends the alert through the Windows network messaging service, or, where
// that refuses (every Windows since Vista), as a session message.
#pragma once

#include "base/text.h"

namespace tarvik {

// True when the messenger accepted the message or, after it refused, at
// least one session took it (SendSessionMessage). A missing NetApi32.dll or
// entry point is reported in a system-modal error box; a refusal is not
// reported.
bool SendAlertMessage(const Text& computer, const Text& message);

}  // namespace tarvik
