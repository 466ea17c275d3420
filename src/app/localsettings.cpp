#include "localsettings.h"

#include "base/apperror.h"
#include "base/filemodes.h"
#include "storage/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString kAddress = QStringLiteral("database/address");
const QString kTill = QStringLiteral("till/number");
} // namespace

QString LocalSettings::localCopyPath(int tillNumber)
{
    return QFileInfo(filePath()).dir().filePath(QStringLiteral("till-%1.db").arg(tillNumber));
}

QString LocalSettings::filePath()
{
    // $XDG_CONFIG_HOME when set to an absolute path, else ~/.config.
    const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(configHome).filePath(QStringLiteral("fenwo/fenwo.conf"));
}

LocalSettings LocalSettings::load()
{
    const QSettings file(filePath(), QSettings::IniFormat);
    LocalSettings settings;
    settings.databaseAddress = file.value(kAddress).toString().trimmed();
    if (const std::optional<int> till = Database::parseTill(file.value(kTill).toString()))
        settings.tillNumber = *till;
    return settings;
}

void LocalSettings::save() const
{
    const QString path = filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A server address may hold a password: the file is its owner's only.
    // Made so before anything is written; the settings keep its mode.
    {
        QFile made(path);
        if (made.open(QIODevice::WriteOnly | QIODevice::NewOnly, FileModes::ownerOnly()))
            made.close();
    }
    FileModes::restrictToOwner(path);
    QSettings file(path, QSettings::IniFormat);
    if (databaseAddress.trimmed().isEmpty())
        file.remove(kAddress);
    else
        file.setValue(kAddress, databaseAddress.trimmed());
    file.setValue(kTill, tillNumber);
    file.sync();
    if (file.status() != QSettings::NoError)
        throw AppError(QStringLiteral("提示：这台电脑的设置文件 %1 写不进去，没有保存!").arg(path));
}
