#pragma once

#include "problems/Problem.h"
#include "support/TempTree.h"

#include <QStringList>
#include <QTest>

#include <memory>

// A problem loaded the way the test window loads one: lines written to a problem file in
// Shift-JIS with CR LF ends, read back by the loader.
inline std::unique_ptr<Problem> loadProblem(const TempTree& tree, const QStringList& lines)
{
    tree.writeCp932(QStringLiteral("problems/jpn_dat.001"), lines.join(QStringLiteral("\r\n")));
    auto problem = std::make_unique<Problem>();
    const auto loaded = problem->loadFrom(tree.file(QStringLiteral("problems")), QString(),
                                          QStringLiteral("SEQUENCE"));
    if (loaded != Problem::Loaded)
        qWarning("problem not loaded: %s",
                 qPrintable(loaded ? QString::number(*loaded) : loaded.error().message()));
    return problem;
}
