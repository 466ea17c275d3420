#pragma once

#include <QString>

// Where an export or an import's report is to be written, looked at before
// anything is: the shop's database (or its -wal, -shm, -journal files, also
// through a link) and any other SQLite file are never written over; a file
// that is not a CSV this program wrote is replaced only when the shop says
// so (the window asks, the command wants --force).
namespace CsvTarget {

enum class Existing {
    None,   // nothing there yet
    ProgramCsv,   // a CSV of this program's (an export, a report): replaced without asking
    OtherFile,   // anything else: asked about first
};

// Throws Refusal for a database file, its companions or the database at
// databasePath (empty, or a server's address, when there is none).
void refuseDatabase(const QString &path, const QString &databasePath = {});

// What is at path now; refuses a database first.
Existing check(const QString &path, const QString &databasePath);

// The window's question before a file is replaced (other: one that is no
// CSV of this program's), and the command's word when it is not.
QString replaceQuestion(const QString &path, bool other);
QString notReplaced(const QString &path);

}   // namespace CsvTarget
