#include "backupsettings.h"

#include "base/numbertext.h"
#include "storage/tillsettings.h"

#include <QDir>
#include <QFileInfo>

namespace {
constexpr double kLongestHours = 24 * 7;
}

BackupSettings BackupSettings::load(Database &db)
{
    const TillSettings stored(db);
    BackupSettings settings;
    settings.folder = stored.value(kFolder);
    bool ok = false;
    const int keep = stored.value(kKeep).toInt(&ok);
    if (ok && keep >= 1)
        settings.keep = keep;
    double hours = 0;
    if (tryTextToNumber(stored.value(kHours), &hours) && hours >= 0)
        settings.hours = qMin(hours, kLongestHours);
    return settings;
}

void BackupSettings::store(Database &db) const
{
    TillSettings(db).store({{kFolder, folder},
                            {kKeep, QString::number(qMax(keep, 1))},
                            {kHours, formatGeneral(qBound(0.0, hours, kLongestHours))}});
}

QString BackupSettings::folderFor(const QString &databasePath) const
{
    const QDir beside = QFileInfo(databasePath).absoluteDir();
    return QDir::cleanPath(beside.absoluteFilePath(folder.isEmpty() ? QStringLiteral("backups") : folder));
}
