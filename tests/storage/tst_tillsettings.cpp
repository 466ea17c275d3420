#include "testdatabase.h"
#include "withnames.h"

#include "storage/database.h"
#include "storage/schema.h"
#include "storage/tables.h"
#include "storage/tillsettings.h"

#include <QTest>

class TestTillSettings : public QObject
{
    Q_OBJECT

private slots:
    void settingsAreKeptPerTillAndStoredTogether()
    {
        TestDatabase file;
        Database db;
        db.open(file.path());
        TillSettings first(db, 1);
        TillSettings second(db, 2);
        QCOMPARE(first.value(QStringLiteral("printer"), QStringLiteral("system")), QStringLiteral("system"));
        first.store({{QStringLiteral("printer"), QStringLiteral("escpos:/dev/usb/lp0")},
                     {QStringLiteral("paper"), QStringLiteral("58")}});
        second.store({{QStringLiteral("printer"), QStringLiteral("pdf:/tmp")}});
        first.store({{QStringLiteral("paper"), QStringLiteral("80")}});
        QCOMPARE(first.value(QStringLiteral("printer")), QStringLiteral("escpos:/dev/usb/lp0"));
        QCOMPARE(first.value(QStringLiteral("paper")), QStringLiteral("80"));
        QCOMPARE(second.values().size(), 1);
        QCOMPARE(file.count(Tables::TillSettings::table), 3);
    }

    void aFileWithoutTheTableGetsItWhenOpened()
    {
        if (TestDatabase::onServer())
            QSKIP("the upgrade of a file");
        TestDatabase file;
        file.exec(withNames("drop table {TillSettings}"));
        file.exec(QStringLiteral("pragma user_version = 1"));
        Database db;
        db.open(file.path());
        TillSettings(db).store({{QStringLiteral("drawer"), QStringLiteral("2")}});
        QCOMPARE(file.scalar(withNames("select {value} from {TillSettings}")).toString(), QStringLiteral("2"));
        QCOMPARE(file.scalar(QStringLiteral("pragma user_version")).toInt(), Schema::kVersion);
    }
};

QTEST_GUILESS_MAIN(TestTillSettings)
#include "tst_tillsettings.moc"
