// Sees every message box the code under test opens and answers it with OK.
#pragma once

#include <windows.h>

#include <vector>

#include "system/message_box_win.h"

namespace tarvik::testing {

class BoxRecorder {
public:
    BoxRecorder() {
        fw::SetMessageBoxHook([this](const fw::MessageBoxRequest& box) {
            boxes.push_back(box);
            return IDOK;
        });
    }
    ~BoxRecorder() { fw::SetMessageBoxHook(nullptr); }
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    std::vector<fw::MessageBoxRequest> boxes;
};

}  // namespace tarvik::testing
