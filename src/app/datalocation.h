#pragma once

#include <QString>

// Where the shop's database file lives.
//
// A portable program (the build tree, or any folder with a data.db beside the
// executable) keeps the file beside the executable. An installed program
// (PREFIX/bin/fenwo with its guide in PREFIX/share/fenwo, and no data.db
// beside it) cannot write its own folder, so the file goes to the user's data
// folder: $XDG_DATA_HOME/fenwo/data.db, by default ~/.local/share/fenwo/data.db.
class DataLocation final
{
public:
    enum class Kind { Portable, Installed };

    // programFolder: the folder of the executable. The user's data folder is
    // read from the environment when the path is asked for.
    explicit DataLocation(const QString &programFolder);

    // For the running program.
    static DataLocation forThisProgram();

    Kind kind() const { return m_kind; }
    QString databasePath() const;

    // The data file is not there yet (an installed program's first start, or
    // a portable copy without its file): the program asks what to make there
    // instead of failing to connect.
    bool isFirstStart() const;

private:
    QString m_programFolder;
    Kind m_kind;
};
