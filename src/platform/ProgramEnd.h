#pragma once

#include <functional>

// Ends the program at once; no window is asked whether it may close. Tests replace the handler
// to observe the ending instead.
void endProgram(int exitCode = 0);
std::function<void(int)> setEndProgramHandler(std::function<void(int)> handler);
