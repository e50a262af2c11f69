// Sends the alert through the Windows network messaging service.
#pragma once

#include "base/text.h"

namespace tarvik {

// True when the service accepted the message. A missing library or entry
// point is reported in a system-modal error box; a refusal is not reported.
bool SendAlertMessage(const Text& computer, const Text& message);

}  // namespace tarvik
