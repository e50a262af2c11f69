// The text sample.layout became in the build: the resource in the Windows
// build, the generated file in the native one.
#pragma once

#include "base/text.h"

namespace tarvik::fw {
Text EmbeddedSampleLayout();
}
