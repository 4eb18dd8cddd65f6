#pragma once

#include <functional>

// Ends the program at once, without any window's unload handler. Tests replace the handler
// to observe the ending instead.
void endProgram(int exitCode = 0);
std::function<void(int)> setEndProgramHandler(std::function<void(int)> handler);
