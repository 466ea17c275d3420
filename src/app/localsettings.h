#pragma once

#include <QString>

// This computer's own settings: which database its till works on and its
// till number. Each computer of a shop keeps its own file,
// ~/.config/fenwo/fenwo.conf ($XDG_CONFIG_HOME/fenwo/fenwo.conf), an INI file:
//
//     [database]
//     address=postgresql://kasse@192.168.1.10:5432/shop
//     [till]
//     number=2
//
// No address means the usual data.db. They are read at start: a change
// counts from the next start.
struct LocalSettings
{
    QString databaseAddress;
    int tillNumber = 1;

    static QString filePath();
    // A server till's own copy of the shop's database, beside the file:
    // fenwo/till-N.db.
    static QString localCopyPath(int tillNumber);
    // What the file says; defaults where it says nothing (or is not there).
    static LocalSettings load();
    // Writes the file; throws AppError when it cannot be written.
    void save() const;
};
