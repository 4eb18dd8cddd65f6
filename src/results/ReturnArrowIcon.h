#pragma once

#include <QIcon>

// A "go back" arrow drawn as vectors, so it stays sharp at every size and screen scale.
QIcon returnArrowIcon();
