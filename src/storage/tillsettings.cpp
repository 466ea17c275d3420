#include "tillsettings.h"

#include "storage/database.h"
#include "storage/statements.h"

#include <QSqlQuery>
#include <QVariant>

TillSettings::TillSettings(Database &db)
    : TillSettings(db, db.till())
{
}

TillSettings::TillSettings(Database &db, int till)
    : m_db(db)
    , m_till(till)
{
}

QString TillSettings::value(const QString &name, const QString &fallback) const
{
    QSqlQuery q = m_db.run(Statements::tillSetting(m_till, name));
    return q.next() ? q.value(0).toString() : fallback;
}

bool TillSettings::flag(const QString &name, bool fallback) const
{
    const QString stored = value(name);
    if (stored == QLatin1String("1"))
        return true;
    if (stored == QLatin1String("0"))
        return false;
    return fallback;
}

QMap<QString, QString> TillSettings::values() const
{
    QMap<QString, QString> out;
    QSqlQuery q = m_db.run(Statements::tillSettings(m_till));
    while (q.next())
        out.insert(q.value(0).toString(), q.value(1).toString());
    return out;
}

void TillSettings::store(const QMap<QString, QString> &values)
{
    Transaction transaction(m_db);
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        m_db.execute(Statements::forgetTillSetting(m_till, it.key()));
        m_db.execute(Statements::storeTillSetting(m_till, it.key(), it.value()));
    }
    transaction.commit();
}
