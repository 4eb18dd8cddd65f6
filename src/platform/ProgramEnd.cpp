#include "ProgramEnd.h"

#include <cstdlib>

namespace {

std::function<void(int)>& handler()
{
    static std::function<void(int)> h;
    return h;
}

} // namespace

void endProgram(int exitCode)
{
    if (handler()) {
        handler()(exitCode);
        return;
    }
    std::exit(exitCode);
}

std::function<void(int)> setEndProgramHandler(std::function<void(int)> h)
{
    std::function<void(int)> previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}
