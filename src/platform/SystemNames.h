#pragma once

#include <QString>
#include <optional>

// Names the operating system reports for this computer and the signed-in user.
namespace SystemNames {

std::optional<QString> computerName();
std::optional<QString> userName();

} // namespace SystemNames
