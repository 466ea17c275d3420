#include "papertray.h"
#include "testdatabase.h"

#include "base/apperror.h"
#include "reports/ownerstrail.h"
#include "storage/auditlog.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "storage/statements.h"
#include "till/recordedreceipt.h"
#include "till/till.h"

#include <QTest>

#include <functional>
#include <memory>

using Act = std::function<void(Till &, Database &, PaperTray &)>;
Q_DECLARE_METATYPE(Act)

// What is taken back or given away at the till leaves a row in the owner's
// trail, and the database keeps those rows as they were written.
class TestAuditLog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> file;
    std::unique_ptr<Database> db;
    std::unique_ptr<Till> till;
    PaperTray tray;

private slots:
    void init()
    {
        file = std::make_unique<TestDatabase>();
        file->setSettings(QStringLiteral("小王"), QStringLiteral("好邻居"), QString());
        db = std::make_unique<Database>();
        db->open(file->path());
        till = std::make_unique<Till>(*db);
        till->setCashier(QStringLiteral("小王"));
        till->reopenSale();
        till->addLine(QStringLiteral("可乐"), QStringLiteral("1"), QStringLiteral("9.6"));
        till->addLine(QStringLiteral("面"), QStringLiteral("2"), QStringLiteral("7.05"));
    }
    void cleanup()
    {
        till.reset();
        db.reset();
        file.reset();
    }

    void eachVoidLeavesItsRow_data()
    {
        QTest::addColumn<Act>("act");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("amount");
        QTest::newRow("line deleted") << Act([](Till &t, Database &, PaperTray &) { t.deleteLine(0); })
                                      << "line_deleted" << "可乐 1×9.6=9.6" << "9.6";
        QTest::newRow("sale emptied") << Act([](Till &t, Database &, PaperTray &) { t.discardSale(); })
                                      << "sale_emptied" << "可乐 1×9.6=9.6；面 2×7.05=14.1" << "23.7";
        QTest::newRow("price changed")
            << Act([](Till &t, Database &, PaperTray &) { t.modifyLine(1, "面", "2", "6"); }) << "price_changed"
            << "面 2×7.05=14.1 → 面 2×6=12" << "12";
        QTest::newRow("discount") << Act([](Till &t, Database &, PaperTray &) {
            t.discountSale(Till::DiscountKind::Amount, "3.7");
        }) << "discount" << "整单折扣 1×-3.7=-3.7" << "3.7";
        QTest::newRow("drawer without a sale") << Act([](Till &t, Database &, PaperTray &) { t.noteDrawerOpened(); })
                                               << "drawer_opened" << "" << "0";
        QTest::newRow("reprint") << Act([](Till &t, Database &d, PaperTray &p) {
            QVERIFY(t.complete({"261206143005", "2026-12-06", "小王", {}, {}, {}}, p, 1));
            RecordedReceipt::reprint(d, "261206143005", p);
        }) << "reprint" << "2 行" << "23.7";
    }
    void eachVoidLeavesItsRow()
    {
        QFETCH(Act, act);
        QFETCH(QString, kind);
        QFETCH(QString, lines);
        QFETCH(QString, amount);
        act(*till, *db, tray);
        const QList<QVariantList> rows =
            file->rows(QStringLiteral("select kind, cashier, lines, amount, till, logged_at from audit_log"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toString(), kind);
        QCOMPARE(rows[0][1].toString(), QStringLiteral("小王"));
        QCOMPARE(rows[0][2].toString(), lines);
        QCOMPARE(rows[0][3].toString(), amount);
        QCOMPARE(rows[0][4].toInt(), 1);
        QCOMPARE(rows[0][5].toString().left(10), QDate::currentDate().toString(Qt::ISODate));
    }

    // Not even the program's own connection may change or remove a row.
    void theDatabaseRefusesToChangeTheTrail_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("update") << "update audit_log set amount = '0'";
        QTest::newRow("delete") << "delete from audit_log";
    }
    void theDatabaseRefusesToChangeTheTrail()
    {
        QFETCH(QString, sql);
        till->noteDrawerOpened();
        try {
            db->execute(Statement{sql, {}, {}, {}});
            QFAIL("the trail was changed");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.message().contains(Schema::kAppendOnly), qPrintable(e.message()));
        }
        QCOMPARE(file->rows(QStringLiteral("select kind, amount from audit_log")),
                 (QList<QVariantList>{{"drawer_opened", "0"}}));
    }

    // The owner's window reads the trail by day, till, cashier and kind, and
    // sums what each cashier took off sales (the drawer is no amount).
    void theOwnerFiltersTheTrail_data()
    {
        QTest::addColumn<int>("daysBack");
        QTest::addColumn<int>("tillShown");
        QTest::addColumn<QString>("cashier");
        QTest::addColumn<int>("kind");   // -1: every kind
        QTest::addColumn<QStringList>("kinds");
        QTest::newRow("everything today") << 0 << 0 << "" << -1
                                          << QStringList{"line_deleted", "discount", "sale_emptied", "drawer_opened"};
        QTest::newRow("the second till") << 0 << 2 << "" << -1 << QStringList{"discount", "drawer_opened"};
        QTest::newRow("one cashier") << 0 << 0 << "小王" << -1 << QStringList{"line_deleted", "sale_emptied"};
        QTest::newRow("one kind") << 0 << 0 << "" << int(AuditLog::Kind::Discount) << QStringList{"discount"};
        QTest::newRow("yesterday only") << 1 << 0 << "" << -1 << QStringList{};
    }
    void theOwnerFiltersTheTrail()
    {
        QFETCH(int, daysBack);
        QFETCH(int, tillShown);
        QFETCH(QString, cashier);
        QFETCH(int, kind);
        QFETCH(QStringList, kinds);
        Database second;
        second.open(file->path());
        second.setTill(2);
        Till other(second);
        other.setCashier(QStringLiteral("小李"));
        other.reopenSale();
        till->deleteLine(0);
        other.addLine(QStringLiteral("糖"), QStringLiteral("1"), QStringLiteral("5"));
        other.discountSale(Till::DiscountKind::Amount, QStringLiteral("1.2"));
        till->discardSale();
        other.noteDrawerOpened();

        AuditLog::Filter filter;
        filter.from = filter.to = QDate::currentDate().addDays(-daysBack);
        filter.till = tillShown;
        filter.cashier = cashier;
        if (kind >= 0)
            filter.kind = AuditLog::Kind(kind);
        QStringList found;
        for (const AuditLog::Row &row : AuditLog::read(*db, filter))
            found << row.storedKind;
        QCOMPARE(found, kinds);

        const QList<OwnersTrail::CashierVoids> voids = OwnersTrail::voidedByCashier(AuditLog::read(*db, {}));
        QCOMPARE(voids.size(), 2);
        QCOMPARE(voids[0].cashier, QStringLiteral("小王"));
        QCOMPARE(voids[0].entries, 2);
        QCOMPARE(voids[0].amount, QStringLiteral("23.7"));   // 9.6 deleted, then 14.1 emptied
        QCOMPARE(voids[1].cashier, QStringLiteral("小李"));
        QCOMPARE(voids[1].amount, QStringLiteral("1.2"));
    }
};

QTEST_GUILESS_MAIN(TestAuditLog)
#include "tst_auditlog.moc"
