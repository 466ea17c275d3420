#include "openingreport.h"

#include "storage/datafilemessages.h"

QString OpeningReport::notice() const
{
    QStringList parts;
    if (!backupPath.isEmpty())
        parts << DataFileMessages::upgraded(backupPath);
    if (!codesAlike.isEmpty())
        parts << DataFileMessages::codesAlike(codesAlike);
    return parts.join(QStringLiteral("\n\n"));
}
