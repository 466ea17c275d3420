#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A plain file standing in for a receipt printer's device file: made empty
// in the test's folder; its path, or an empty text when it cannot be made.
inline QString makeDevice(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile device(path);
    return device.open(QIODevice::WriteOnly) ? path : QString();
}

// Every byte a file holds (what a device file was sent); nothing when it
// cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
