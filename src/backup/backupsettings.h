#pragma once

#include <QString>

class Database;

// Where automatic copies of the database go, how many are kept and how
// often one is taken while the program runs (one is always taken when it
// closes). Kept with the till's own settings.
struct BackupSettings
{
    static inline const QString kFolder = QStringLiteral("backup.folder");
    static inline const QString kKeep = QStringLiteral("backup.keep");
    static inline const QString kHours = QStringLiteral("backup.hours");

    QString folder;      // empty: "backups" beside the database file; a relative folder is taken from there
    int keep = 30;
    double hours = 4;    // 0: only when the program closes

    // The stored settings, the defaults for those never stored.
    static BackupSettings load(Database &db);
    // Throws DatabaseError.
    void store(Database &db) const;

    // The folder as a full path, for the database file at databasePath.
    QString folderFor(const QString &databasePath) const;
};
