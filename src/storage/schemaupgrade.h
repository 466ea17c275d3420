#pragma once

#include "storage/openingreport.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace Schema {
struct Table;
}

// Brings a data file of an older or foreign layout up to this program's when
// it is opened. The four tables and their columns must be there; what the
// program adds to them (row keys, indexes, its own tables) is added in one
// transaction, after a copy of the file is kept beside it. A file that lacks
// a table or column, or comes from a newer version, is refused with a
// DataFileError that says so; nothing in it is changed then.
class SchemaUpgrade final
{
    Q_DISABLE_COPY_MOVE(SchemaUpgrade)

public:
    explicit SchemaUpgrade(QSqlDatabase &db, const QString &filePath);

    OpeningReport run();

private:
    struct Plan
    {
        int version = 0;
        QStringList rebuild;                      // tables whose row key is missing, as the file names them
        QList<const Schema::Table *> create;      // the program's own tables the file lacks
        QStringList statements;                   // indexes and code checks, in order
        QList<QStringList> codesAlike;

        bool changesFile() const;
    };

    Plan inspect();
    void planCodeUniqueness(Plan &plan, const QStringList &indexes, const QStringList &triggers);
    QList<QStringList> findCodesAlike();
    QString keepCopy();
    QString partialStem() const;
    void apply(const Plan &plan);
    void rebuildWithRowKey(const QString &table);

    QSqlDatabase &m_db;
    QString m_filePath;
};
