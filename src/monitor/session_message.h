// Delivers the alert as a message box in terminal services sessions, where
// the network messaging service is gone or stopped.
#pragma once

#include "base/text.h"

namespace tarvik {

// `computer` picks the sessions:
//  - empty, "LocalHost" in any case, "." or this computer's own name: the
//    session this program runs in, and no other;
//  - the user name of a session on this computer (in any case): that
//    user's active sessions;
//  - any other name: the active sessions of the server of that name.
// Each gets one box, titled with the program's title, with an OK button and
// a warning icon, not waited for. True when at least one session took it;
// false, with nothing shown, when wtsapi32.dll or one of its functions is
// missing.
bool SendSessionMessage(const Text& computer, const Text& message);

}  // namespace tarvik
