#include "ProgramEnd.h"

#include <cstdlib>

namespace {

std::function<void(int)>& installedHandler()
{
    static std::function<void(int)> handler;
    return handler;
}

} // namespace

void endProgram(int exitCode)
{
    if (installedHandler()) {
        installedHandler()(exitCode);
        return;
    }
    std::exit(exitCode);
}

std::function<void(int)> setEndProgramHandler(std::function<void(int)> handler)
{
    std::function<void(int)> previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}
