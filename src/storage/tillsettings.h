#pragma once

#include <QMap>
#include <QString>

class Database;

// One till's own settings (where receipts go, the cash drawer, backups …),
// kept by name in the shop's database. Each setting's meaning and default
// belong to the part of the program that reads it.
class TillSettings final
{
public:
    // The settings of the till the connection works for (Database::till()).
    explicit TillSettings(Database &db);
    TillSettings(Database &db, int till);

    // The stored value, or the fallback when the setting was never stored.
    QString value(const QString &name, const QString &fallback = QString()) const;
    // A yes-or-no setting, stored as "1" or "0"; the fallback for anything else.
    bool flag(const QString &name, bool fallback = false) const;
    static QString flagText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }
    // Every stored setting of this till.
    QMap<QString, QString> values() const;
    // Stores the given settings all together or none of them; throws DatabaseError.
    void store(const QMap<QString, QString> &values);

private:
    Database &m_db;
    int m_till;
};
