#pragma once

#include <QString>

// A write that failed because the disk has no room left must say so, and
// where: the shop frees room there, rather than doubting its backup or its
// data.
namespace DiskFull {

// True when the platform's reason for a failed write is a full disk
// (ENOSPC, SQLite's SQLITE_FULL, or their messages), or the disk holding
// path has no room left now.
bool explains(const QString &reason, const QString &path = {});
bool explainsSqlite(int sqliteError);

// "磁盘已满：…" naming the folder whose disk is full and the file that was
// being written.
QString message(const QString &file);

}   // namespace DiskFull
