#include "filemodes.h"

#include <QFile>
#include <QFileInfo>

namespace FileModes {

QFileDevice::Permissions ownerOnly(const QString &replaced)
{
    QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!replaced.isEmpty() && QFileInfo::exists(replaced))
        mode &= QFile::permissions(replaced);
    return mode;
}

bool restrictToOwner(const QString &path, const QString &replaced)
{
    // Set outright: a mode given at creation passes through the umask.
    return QFile::setPermissions(path, ownerOnly(replaced));
}

}   // namespace FileModes
