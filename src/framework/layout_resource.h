// The layout texts carried by the program file.
#pragma once

#include "base/text.h"

namespace tarvik::fw {

// The layout text stored as the RCDATA resource named `resourceName` in the
// program file; throws tarvik::Error when there is none.
Text LoadLayoutResource(const Text& resourceName);

}  // namespace tarvik::fw
