#pragma once

#include <QString>

// A file written under a hidden name beside where it goes
// (".data-Ab12Cd.partial"), owner-only, and given its name only once it is
// complete, so that no final name ever holds a file cut short. While the
// object lives the file is locked: a run killed part-way leaves an unlocked
// one, which removeStale() deletes at the next backup or start.
class PartialFile final
{
    Q_DISABLE_COPY_MOVE(PartialFile)

public:
    // Makes the file, empty, in folder (which must exist). Throws FileError.
    PartialFile(const QString &folder, const QString &stem);
    // Deletes the file unless it was put in place.
    ~PartialFile();

    const QString &path() const { return m_path; }

    // Syncs the file to the disk, gives it its final name in one step and
    // makes the new name last. Throws FileError.
    void putInPlace(const QString &finalPath);

    // Deletes the partial files of stem in folder that no live PartialFile
    // holds: those of runs that were killed. Returns how many.
    static int removeStale(const QString &folder, const QString &stem);

    // Syncs a file, or a folder's list of names, to the disk. Throws FileError.
    static void sync(const QString &path, bool folder);

private:
    QString m_path;
    int m_fd = -1;
    bool m_placed = false;
};
