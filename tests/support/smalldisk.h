#pragma once

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// A small file system of the test's own, to fill up: a tmpfs mounted on a
// temporary folder (the suite runs as root).
struct SmallDisk
{
    QTemporaryDir dir;
    bool mounted = false;

    explicit SmallDisk(const QString &size)
    {
        QProcess mount;
        mount.setProcessChannelMode(QProcess::MergedChannels);
        mount.setStandardOutputFile(QProcess::nullDevice());
        mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=") + size, QStringLiteral("tmpfs"), dir.path()});
        mounted = mount.waitForFinished(20000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), dir.path()});
    }
    Q_DISABLE_COPY_MOVE(SmallDisk)

    QString filePath(const QString &name) const { return dir.filePath(name); }

    // Takes every byte left.
    void fill()
    {
        QFile filler(dir.filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::Append | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) > 0) {
        }
        while (filler.write("x", 1) > 0) {
        }
    }
    void free() { QFile::remove(dir.filePath(QStringLiteral("filler"))); }
};
