#pragma once

#include <QString>

class QSqlError;

// A data file that cannot be written must be found at start-up, not at the
// first scan: SQLite opens such a file read-only without a word.
namespace WriteAccess {

// True when SQLite refused because it could not write or create a file.
bool isRefusal(const QSqlError &error);

// True when another connection holds the lock SQLite was asked for.
bool isBusy(const QSqlError &error);

// The first of the file, its -wal and -shm files, or (when these are still
// to be made) its folder that this process cannot write; empty when all can
// be written.
QString unwritablePart(const QString &file);

// Throws DataFileError naming what cannot be written, if anything.
void refuseIfUnwritable(const QString &file);

// The same, when that is why SQLite refused; returns otherwise.
void refuseIfUnwritable(const QSqlError &error, const QString &file);

} // namespace WriteAccess
