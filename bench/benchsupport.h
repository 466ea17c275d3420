#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <sys/resource.h>

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

// The product code of product i: 13 digits, like a barcode.
inline QString productCode(int i)
{
    return QStringLiteral("69%1").arg(qlonglong(i) * 7919LL % 100000000000LL, 11, 10, QLatin1Char('0'));
}

// Fills spinfo with n products in one transaction, straight through SQLite.
inline void fillCatalogue(const QString &path, int n)
{
    const QString name = QStringLiteral("bench-fill");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("insert into spinfo (编码, 品名, 单价) values (?, ?, ?)"));
        static const char *const kinds[] = {"牛奶", "面包", "饼干", "可乐", "矿泉水", "香皂", "纸巾", "牙膏", "方便面", "瓜子"};
        for (int i = 0; i < n; ++i) {
            q.addBindValue(productCode(i));
            q.addBindValue(QStringLiteral("%1%2号").arg(QString::fromUtf8(kinds[i % 10])).arg(i));
            q.addBindValue(1.0 + (i % 500) / 10.0);
            q.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace Bench
