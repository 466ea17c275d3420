#include "datalocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kFileName = QStringLiteral("data.db");

// The install layout: the executable in PREFIX/bin, its own files in
// PREFIX/share/fenwo. A build tree has no share folder beside bin.
bool inInstallLayout(const QDir &programFolder)
{
    return programFolder.dirName() == QStringLiteral("bin")
        && QFileInfo(QDir::cleanPath(programFolder.filePath(QStringLiteral("../share/fenwo")))).isDir();
}

} // namespace

DataLocation::DataLocation(const QString &programFolder)
    : m_programFolder(QDir::cleanPath(QDir(programFolder).absolutePath()))
{
    const QDir folder(m_programFolder);
    // A data.db beside the executable always wins: a shop that copied the
    // program with its file keeps working on that file.
    m_kind = !QFileInfo::exists(folder.filePath(kFileName)) && inInstallLayout(folder) ? Kind::Installed
                                                                                        : Kind::Portable;
}

DataLocation DataLocation::forThisProgram()
{
    return DataLocation(QCoreApplication::applicationDirPath());
}

QString DataLocation::databasePath() const
{
    if (m_kind == Kind::Portable)
        return QDir(m_programFolder).filePath(kFileName);
    // $XDG_DATA_HOME when it is set to an absolute path, else ~/.local/share.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(dataHome).filePath(QStringLiteral("fenwo/") + kFileName);
}

bool DataLocation::isFirstStart() const
{
    return !QFileInfo::exists(databasePath());
}
