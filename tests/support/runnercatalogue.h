#pragma once

#include <QString>
#include <QStringList>

// The products the till programs that the tests run beside them sell: each
// till scans them in turn from its own place in the list, so that tills
// selling at once meet on the same products.
inline const QStringList &runnerCodes()
{
    static const QStringList codes = {QStringLiteral("6901"), QStringLiteral("6902"), QStringLiteral("6903"),
                                      QStringLiteral("6904"), QStringLiteral("6905"), QStringLiteral("6906"),
                                      QStringLiteral("6907")};
    return codes;
}

inline QString runnerCode(int till, int sale, int scan)
{
    return runnerCodes().at((till + sale + scan) % runnerCodes().size());
}
