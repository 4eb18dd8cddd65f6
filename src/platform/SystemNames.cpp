#include "SystemNames.h"

#include <pwd.h>
#include <unistd.h>

#include <array>

namespace SystemNames {

std::optional<QString> computerName()
{
    std::array<char, 256> buffer{};
    if (gethostname(buffer.data(), buffer.size() - 1) != 0 || buffer[0] == '\0')
        return std::nullopt;
    return QString::fromLocal8Bit(buffer.data());
}

std::optional<QString> userName()
{
    std::array<char, 4096> buffer{};
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && found->pw_name[0] != '\0')
        return QString::fromLocal8Bit(found->pw_name);
    const QString fromEnv = qEnvironmentVariable("USER");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return std::nullopt;
}

} // namespace SystemNames
