#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the shop reads about its data file at start-up: why it cannot be used,
// or what opening it changed. Each begins with plain words and names the file.
namespace DataFileMessages {

// missing: "表 xiaoshou", "表 spinfo 的列 单价" …
QString missing(const QStringList &missing, const QString &file);
QString newer(int fileVersion, int programVersion, const QString &file);
QString unwritableFile(const QString &file);
QString unwritableFolder(const QString &folder);
QString upgradeFailed(const QString &file, const QString &detail);
QString copyFailed(const QString &copy, const QString &detail);

QString missingTable(const QString &table);
QString missingColumn(const QString &table, const QString &column);

// Notices after opening.
QString upgraded(const QString &copy);
QString codesAlike(const QList<QStringList> &groups);

} // namespace DataFileMessages
