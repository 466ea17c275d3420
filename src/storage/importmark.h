#pragma once

#include <QString>

// A product import holds a data file's write lock for as long as it writes
// its rows, which for a big file is longer than a till would wait for any
// other writer. While it does, a file beside the data file says so (with the
// importing process's id), so a till on the same file knows to wait on, and
// can tell the cashier why.
class ImportMark final
{
    Q_DISABLE_COPY_MOVE(ImportMark)

public:
    // Marks the data file as being imported into; nothing when the file
    // cannot be marked (the import goes on, tills merely wait less).
    explicit ImportMark(const QString &dataFile);
    ~ImportMark();

    // True while a live process marks the data file as being imported into.
    // A mark left by a process that died is no import.
    static bool isActive(const QString &dataFile);

    static QString markFile(const QString &dataFile);

private:
    QString m_path;
};
