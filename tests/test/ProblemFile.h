#pragma once

#include "problems/colReidai.h"
#include "support/TempTree.h"

#include <QStringList>
#include <QTest>

#include <memory>

// A problem loaded the way the test window loads one: lines written to a problem file in
// Shift-JIS with CR LF ends, read back by the loader.
inline std::unique_ptr<colReidai> loadProblem(const TempTree& tree, const QStringList& lines)
{
    tree.writeCp932(QStringLiteral("problems/jpn_dat.001"), lines.join(QStringLiteral("\r\n")));
    auto reidai = std::make_unique<colReidai>();
    const qint16 rc = reidai->LoadReidai(tree.file(QStringLiteral("problems")), QString(),
                                         QStringLiteral("SEQUENCE"));
    if (rc != colReidai::Loaded)
        qWarning("problem not loaded: %d", int(rc));
    return reidai;
}
