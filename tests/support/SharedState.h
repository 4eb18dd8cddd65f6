#pragma once

#include "results/RunRecord.h"
#include "settings/Settings.h"

// The settings and the result record the application object would own, for the windows
// under test.
struct SharedState {
    Settings settings;
    RunRecord record;

    SharedState() = default;
    SharedState(const SharedState&) = delete;
    SharedState& operator=(const SharedState&) = delete;
};
