#pragma once

#include <QFileDevice>
#include <QString>

// The shop's files (its data, copies of it, its sales as CSV, this
// computer's settings with a server's password) are nobody else's business:
// each file the program makes is readable and writable by its owner only,
// or keeps the mode of the file it replaces when that is stricter still.
namespace FileModes {

// Read and write for the owner, less what the replaced file (when there is
// one) does not allow.
QFileDevice::Permissions ownerOnly(const QString &replaced = {});

// Gives the file at path that mode; false when it cannot.
bool restrictToOwner(const QString &path, const QString &replaced = {});

}   // namespace FileModes
