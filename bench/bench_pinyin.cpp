// Finding products by pinyin in a large catalogue: the time to spell out
// every product (what upgrading an older file costs), and the lookup the
// product box makes for typed initials or full pinyin, from a letter or two
// (many products) to a whole spelling (a few).
//
// Run: bench_pinyin [products] [lookups]

#include "benchsupport.h"

#include "storage/database.h"
#include "storage/pinyinindex.h"
#include "storage/statements.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int products = argc > 1 ? atoi(argv[1]) : 1000000;
    const int lookups = argc > 2 ? atoi(argv[2]) : 2000;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.db"));
    Database::createFile(path);
    Bench::fillCatalogue(path, products);

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("spell"));
        db.setDatabaseName(path);
        db.open();
        QElapsedTimer t;
        t.start();
        db.transaction();
        PinyinIndex::storeAll(db);
        db.commit();
        QSqlQuery count(db);
        count.exec(QStringLiteral("select count(*) from product_pinyin"));
        count.next();
        std::printf("spelling out %d products (%lld spellings): %.0f ms\n", products, count.value(0).toLongLong(),
                    double(t.nsecsElapsed()) / 1e6);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("spell"));

    Database db;
    db.open(path);
    // From broad to narrow; every kind of goods of the catalogue.
    const QStringList typed = {QStringLiteral("n"),      QStringLiteral("nn"),        QStringLiteral("niunai"),
                               QStringLiteral("nn12"),   QStringLiteral("fbm"),       QStringLiteral("fangbianmian77"),
                               QStringLiteral("kl9999"), QStringLiteral("kskl"),      QStringLiteral("mb5"),
                               QStringLiteral("xz"),     QStringLiteral("kuangquan"), QStringLiteral("gz12345")};
    QList<double> ms;
    qint64 found = 0;
    for (int i = 0; i < lookups; ++i) {
        const QString spelling = typed.at(i % typed.size()) + QLatin1Char('%');
        QElapsedTimer t;
        t.start();
        QSqlQuery rows = db.run(Statements::lookupByPinyin(spelling, 50));
        while (rows.next())
            ++found;
        ms << double(t.nsecsElapsed()) / 1e6;
    }
    std::printf("pinyin lookup (first 50 for the product box), %d lookups over %lld products found: median %.3f ms, "
                "p99 %.3f ms, max %.3f ms\n",
                lookups, found, Bench::median(ms), Bench::percentile(ms, 0.99), Bench::percentile(ms, 1.0));
    return 0;
}
