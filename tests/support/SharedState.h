#pragma once

#include "app/ProgramState.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"

// The settings and the result record the application object would own, for the windows
// under test. Code not yet handed references reaches them through the shared pointers.
struct SharedState {
    Settings settings;
    RunRecord record;

    SharedState()
    {
        appSettings = &settings;
        appRecord = &record;
    }
    ~SharedState()
    {
        appSettings = nullptr;
        appRecord = nullptr;
    }
    SharedState(const SharedState&) = delete;
    SharedState& operator=(const SharedState&) = delete;
};
