#pragma once

#include "withnames.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

// Small helpers shared by the benchmarks.
namespace Bench {

inline double percentile(QList<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype index = std::min<qsizetype>(values.size() - 1, qsizetype(p * double(values.size())));
    return values[index];
}

inline double median(const QList<double> &values)
{
    return percentile(values, 0.5);
}

inline long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Memory the process holds right now, unlike the peak above.
inline double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

// CPU time of the process so far, user and system: on a shared machine the
// wall clock also counts the time other programs had the processors.
inline double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// The product code of product i: 13 digits, like a barcode.
inline QString productCode(int i)
{
    return QStringLiteral("69%1").arg(qlonglong(i) * 7919LL % 100000000000LL, 11, 10, QLatin1Char('0'));
}

// The name of product i: a kind of goods and its number, then the tail.
inline QString productName(int i, const QString &tail = QStringLiteral("号"))
{
    static const char *const kinds[] = {"牛奶", "面包", "饼干", "可乐", "矿泉水", "香皂", "纸巾", "牙膏", "方便面", "瓜子"};
    return QString::fromUtf8(kinds[i % 10]) + QString::number(i) + tail;
}

// The price of product i: 1.0 to 50.9.
inline double productPrice(int i)
{
    return 1.0 + (i % 500) / 10.0;
}

// Fills the catalogue with n products in one transaction, straight through SQLite.
inline void fillCatalogue(const QString &path, int n)
{
    const QString name = QStringLiteral("bench-fill");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(withNames("insert into {Catalogue} ({code}, {name}, {price}) values (?, ?, ?)"));
        for (int i = 0; i < n; ++i) {
            q.addBindValue(productCode(i));
            q.addBindValue(productName(i));
            q.addBindValue(productPrice(i));
            q.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace Bench
