#pragma once

#include "storage/auditlog.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the owner reads from the trail: the amounts taken off sales or
// handed back, summed by cashier, and the rows as a CSV file.
class OwnersTrail final
{
public:
    OwnersTrail() = delete;

    struct CashierVoids
    {
        QString cashier;
        qint64 entries = 0;
        QString amount = QStringLiteral("0");   // exact decimal text
    };
    // In the order the cashiers first appear.
    static QList<CashierVoids> voidedByCashier(const QList<AuditLog::Row> &rows);

    static QStringList titles();
    static QStringList fields(const AuditLog::Row &row);
    // Throws Refusal for a database file, FileError when it cannot be written.
    static void exportCsv(const QList<AuditLog::Row> &rows, const QString &path, const QString &databasePath);
};
