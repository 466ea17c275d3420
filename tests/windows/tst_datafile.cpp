#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "typing.h"
#include "withnames.h"
#include "withoutrootoverride.h"

#include "windows/cataloguemodel.h"
#include "storage/importmark.h"
#include "storage/schema.h"
#include "storage/tables.h"
#include "widgets/apperrorbox.h"
#include "widgets/datagrid.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "windows/cataloguegrid.h"
#include "windows/cataloguewindow.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>

#include <sqlite3.h>

#include <atomic>
#include <optional>
#include <thread>

namespace {

QStringList copiesBeside(const QString &path)
{
    const QFileInfo file(path);
    return file.dir().entryList({file.fileName() + QStringLiteral(".before-upgrade-*")}, QDir::Files);
}

void scan(CashierWindow *w, const QString &code)
{
    w->productBox()->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), code);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// Remembers each text the label was shown with.
class ShownTexts final : public QObject
{
public:
    explicit ShownTexts(QLabel *label)
        : m_label(label)
    {
        label->installEventFilter(this);
    }
    QStringList texts;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_label && event->type() == QEvent::Paint)
            texts << m_label->text();
        return false;
    }

private:
    QLabel *m_label;
};

} // namespace

// The cashier window's start on each kind of data file: upgraded with a
// notice, or refused in the connection box with the reason and the file.
class TestDataFile : public QObject
{
    Q_OBJECT

private slots:
    void foreignFileIsUpgradedWithANoticeAndTakesASale()
    {
        CashierFixture f;
        f.file = std::make_unique<TestDatabase>(QStringList{
            withNames("CREATE TABLE {Catalogue} ({code} TEXT, {name} TEXT, {price} REAL)"),
            withNames("CREATE TABLE {OpenSale} ({code} TEXT, {name} TEXT, {quantity} REAL, {price} REAL, {amount} REAL)"),
            withNames("CREATE TABLE {SalesRecord} ({code} TEXT, {name} TEXT, {quantity} REAL, {price} REAL, {amount} REAL, "
                           "{receiptNumber} TEXT, {cashier} TEXT, {date} TEXT, {time} TEXT)"),
            withNames("CREATE TABLE {ShopSettings} ({cashier} TEXT, {shopName} TEXT, {remark} TEXT)"),
            withNames("INSERT INTO {Catalogue} VALUES ('6901', '可乐', 3)"),
            withNames("INSERT INTO {OpenSale} VALUES ('1', '甲', 2, 1.5, 3)"),
            withNames("INSERT INTO {ShopSettings} VALUES ('小王', '小店', '')")});
        CashierWindow *w = f.open();

        QCOMPARE(f.boxes->count(), 1);
        const ModalWatcher::Seen notice = f.boxes->seen().first();
        QCOMPARE(notice.title, AppBoxes::applicationTitle());
        QVERIFY2(QRegularExpression(QStringLiteral("^提示：数据库文件已升级到本程序的格式。\n升级前的副本：%1\\.before-upgrade-\\d{14}$")
                                        .arg(QRegularExpression::escape(f.file->path())))
                     .match(notice.text)
                     .hasMatch(),
                 qPrintable(notice.text));
        QCOMPARE(w->saleGrid()->model()->rowCount(), 1);
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("小王"));

        scan(w, QStringLiteral("6901"));
        QCOMPARE(f.boxes->count(), 1);
        QCOMPARE(f.file->rows(withNames("SELECT {code}, {name} FROM {OpenSale} ORDER BY {key}")),
                 (QList<QVariantList>{{"1", "甲"}, {"6901", "可乐"}}));

        // The next start finds it upgraded: no box, no second copy.
        f.open();
        QCOMPARE(f.boxes->count(), 1);
        QCOMPARE(copiesBeside(f.file->path()).size(), 1);
        QCOMPARE(f.session->window().saleGrid()->model()->rowCount(), 2);
    }

    void fileThatCannotBeUsedIsRefusedWithItsReason_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("lacks a column") << "column" << withNames("提示：数据库文件缺少表 {Catalogue} 的列 {price}！\n文件：%1");
        QTest::newRow("from a newer version")
            << "newer" << "提示：数据库文件由较新版本的程序建立，本程序不能使用！\n文件：%1\n（文件的格式版本 99，本程序的格式版本 %2）";
        QTest::newRow("cannot be written") << "read-only" << "提示：数据库文件不能写入！\n文件：%1";
    }
    void fileThatCannotBeUsedIsRefusedWithItsReason()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        CashierFixture f;
        f.file->addProduct(QStringLiteral("6901"), QStringLiteral("可乐"), 3);
        f.file->addSaleLine(QStringLiteral("6901"), QStringLiteral("可乐"), 1, 3);
        std::optional<WithoutRootOverride> asShopUser;
        if (kind == QLatin1String("column")) {
            f.file->exec(withNames("ALTER TABLE {Catalogue} DROP COLUMN {price}"));
        } else if (kind == QLatin1String("newer")) {
            f.file->exec(QStringLiteral("PRAGMA user_version = 99"));
        } else {
            QFile::setPermissions(f.file->path(), QFile::ReadOwner);
            asShopUser.emplace();
        }
        CashierWindow *w = f.open();

        // In the connection message's place; the window opens without data,
        // as for a missing file, and takes no sale.
        const auto &seen = f.boxes->seen();
        QVERIFY(!seen.isEmpty());
        QCOMPARE(seen[0].title, QStringLiteral("错误"));
        QCOMPARE(seen[0].icon, QMessageBox::Critical);
        QCOMPARE(seen[0].buttons, QStringList{QStringLiteral("是(&Y)")});
        QCOMPARE(seen[0].text, message.replace(QStringLiteral("%1"), f.file->path())
                                   .replace(QStringLiteral("%2"), QString::number(Schema::kVersion)));
        QVERIFY(w->isVisible());
        QCOMPARE(w->saleGrid()->model()->rowCount(), 0);
        QCOMPARE(w->productBox()->count(), 0);
        scan(w, QStringLiteral("6901"));
        asShopUser.reset();
        QCOMPARE(f.file->count(Tables::OpenSale::table), 1);
        QCOMPARE(copiesBeside(f.file->path()), QStringList());
    }

    void codesAlikeAreListedAfterOpeningAndRefusedInTheCatalogue()
    {
        CashierFixture f;
        f.file->exec(QStringLiteral("DROP INDEX spinfo_code_unique"));
        f.file->exec(QStringLiteral("PRAGMA user_version = 2"));
        f.file->addProduct(QStringLiteral("abc"), QStringLiteral("小瓶"), 2);
        f.file->addProduct(QStringLiteral("ABC"), QStringLiteral("大瓶"), 5);
        CashierWindow *till = f.open();
        QCOMPARE(f.boxes->count(), 1);
        QVERIFY2(f.boxes->lastText().endsWith(
                     QStringLiteral("\n\n提示：下面的商品编码相同或只有字母大小写不同，收银查找时会当作同一个编码：\n"
                                    "ABC、abc\n请在商品资料 (F3) 中修改或删除多余的一个。")),
                 qPrintable(f.boxes->lastText()));

        QTest::keyClick(till->productBox(), Qt::Key_F3);
        CatalogueWindow *w = till->catalogueWindow();
        QVERIFY(w);
        w->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), w);
        QTest::keyClick(w->searchBox(), Qt::Key_F4);
        const QStringList typed{QStringLiteral("aBc"), QStringLiteral("中瓶"), QStringLiteral("3")};
        for (int column = 0; column < 3; ++column) {
            w->grid()->setFocus();
            w->grid()->setCurrentIndex(w->catalogue()->index(2, column));
            typeText(w->grid(), typed[column].left(1));
            typeText(QApplication::focusWidget(), typed[column].mid(1));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        const QModelIndex other = w->catalogue()->index(0, CatalogueModel::Name);
        QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {}, w->grid()->visualRect(other).center());
        QCOMPARE(f.boxes->count(), 2);
        QCOMPARE(f.boxes->lastText(), QStringLiteral("警告：该编码已经存在!"));
        QCOMPARE(f.file->count(Tables::Catalogue::table), 2);
    }

    // Another program imports products into the till's file and holds its
    // write lock longer than a till waits for any other writer: the scan
    // waits, says why, and gets its line once the import is done; what the
    // scanner typed meanwhile follows in order. Never "database is locked".
    void aScanDuringALongImportWaitsForItWithANotice()
    {
        if (TestDatabase::onServer())
            QSKIP("a data file's lock");
        CashierFixture f;
        f.file->addProduct(QStringLiteral("6901"), QStringLiteral("可乐"), 3);
        f.file->addProduct(QStringLiteral("6902"), QStringLiteral("雪碧"), 2.5);
        f.file->release();
        CashierWindow *till = f.open();
        const ShownTexts notice(till->fileWaitLabel());

        std::atomic<bool> locked = false;
        QWidget *productBox = till->productBox();
        const QString path = f.file->path();
        std::thread importer([&] {
            sqlite3 *db = nullptr;
            sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            {
                const ImportMark mark(path);
                locked = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(2000));
                // The scanner goes on while the window waits.
                for (const QChar c : QStringLiteral("6902"))
                    QCoreApplication::postEvent(productBox,
                                                new QKeyEvent(QEvent::KeyPress, c.unicode(), Qt::NoModifier, c));
                QCoreApplication::postEvent(productBox, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
                // Longer than any writer but an import is waited for.
                std::this_thread::sleep_for(std::chrono::milliseconds(4500));
            }
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        });
        QTRY_VERIFY(locked.load());
        scan(till, QStringLiteral("6901"));
        importer.join();
        QTRY_COMPARE(till->till().lines().size(), 2);
        QCOMPARE(till->till().lines().at(0).name, QStringLiteral("可乐"));
        QCOMPARE(till->till().lines().at(1).name, QStringLiteral("雪碧"));
        QCOMPARE(f.boxes->count(), 0);
        QVERIFY(!till->fileWaitLabel()->isVisible());
        QVERIFY(!notice.texts.isEmpty());
        QVERIFY2(notice.texts.last().contains(QStringLiteral("正在导入商品")), qPrintable(notice.texts.last()));
        // Past the few seconds any other writer is waited for.
        const QRegularExpressionMatch waited =
            QRegularExpression(QStringLiteral("已等 (\\d+) 秒")).match(notice.texts.last());
        QVERIFY2(waited.hasMatch() && waited.captured(1).toInt() >= 5, qPrintable(notice.texts.last()));
        QCOMPARE(f.file->count(Tables::OpenSale::table), 2);
    }
};

FENWO_TEST_MAIN(TestDataFile)
#include "tst_datafile.moc"
