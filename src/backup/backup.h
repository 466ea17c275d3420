#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class Database;

// Copies of the shop's database file, and putting one back. A copy is taken
// through SQLite's online backup, so it is consistent even while a sale is
// being written: a change is either wholly in it or not at all. Copies are
// named after the file and the time ("data-20261206-143005.db"); a restore
// keeps the file it replaces as "data-20261206-143005-before-restore.db".
// Copies and restores in one process never run at the same time.
namespace Backup {

// The file begins as an SQLite database does (one damaged in its header, or
// empty, does not).
bool isDatabaseFile(const QString &path);

// Copies are of a file: a database on a server is backed up on the server
// (pg_dump). Throws Refusal, saying so, when the address is a server's.
void refuseServer(const QString &databaseAddress);

// A copy of the database file in the folder (made when missing), checked
// before it gets its name; returns its path. Copies a killed run left half
// written are deleted first. Throws FileError (a full disk says so),
// DatabaseError.
QString take(const QString &databasePath, const QString &folder);

// Deletes the half-written copies that runs killed part-way left in the
// folder (never one still being written).
void removeLeftovers(const QString &databasePath, const QString &folder);

// The copies of this database file in the folder, newest first (copies
// kept aside by a restore are not among them).
QStringList list(const QString &databasePath, const QString &folder);

// Deletes the oldest copies so that `keep` remain; a copy kept aside by a
// restore is never deleted. Returns the deleted paths.
QStringList rotate(const QString &databasePath, const QString &folder, int keep);

// Throws Refusal when the file is not a sound database of this program:
// damaged (integrity check), of another program (tables or columns
// missing), or made by a newer version.
void verify(const QString &file);

// Puts a copy in place of the database file: the copy is checked, the
// current file is kept aside in asideFolder (byte for byte when SQLite
// cannot read it: damaged or empty), and the new file takes its name in one
// step (written beside it, owner-only, synced, renamed), so the file is
// never half written. Through a symbolic link the file it points to is
// replaced. No connection may be open on the file; one in another program
// is found and refused. Returns the path of the file kept aside (empty when
// there was no database file). Throws Refusal, FileError (a full disk says
// so), DatabaseError; the database file is then as it was.
QString restore(const QString &databasePath, const QString &file, const QString &asideFolder);

// The same for an open database: it is closed, restored and opened again
// (opened again also when the restore is refused).
QString restore(Database &db, const QString &file, const QString &asideFolder);

} // namespace Backup
