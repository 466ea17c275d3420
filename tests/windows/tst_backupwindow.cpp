#include "fenwotestmain.h"
#include "cashierfixture.h"
#include "filedialoganswers.h"
#include "typing.h"
#include "whenmodalshows.h"
#include "withnames.h"

#include "backup/automaticbackup.h"
#include "backup/backup.h"
#include "backup/backupsettings.h"
#include "storage/tables.h"
#include "widgets/datagrid.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatedit.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/skinbutton.h"
#include "windows/backupdialog.h"
#include "windows/shopsettingswindow.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>

namespace {

QStringList codes(TestDatabase &file)
{
    QStringList out;
    for (const QVariantList &row : file.rows(withNames("select {code} from {Catalogue} order by {code}")))
        out << row[0].toString();
    return out;
}

QString backupsOf(TestDatabase &file)
{
    return QDir(file.folder()).filePath(QStringLiteral("backups"));
}

void scan(CashierWindow *w, const QString &code)
{
    typeText(w->productBox(), code);
    QTest::keyClick(w->productBox(), Qt::Key_Return);
}

} // namespace

class TestBackupWindow : public QObject
{
    Q_OBJECT

private slots:
    void backingUpByHandAndTheAutomaticSettings()
    {
        CashierFixture f;
        f.file->addProduct(QStringLiteral("6901"), QStringLiteral("可乐"), 3);
        CashierWindow *w = f.open();
        ShopSettingsWindow *s = openSettings(w);
        QVERIFY(s);

        QString shownFolder, done;
        whenModalShows<BackupDialog>([&](BackupDialog *d) {
            shownFolder = d->folderBox()->text();
            d->keepBox()->setText(QStringLiteral("0"));
            d->saveButton()->click();            // refused: at least one copy is kept
            d->keepBox()->setText(QStringLiteral("2"));
            d->hoursBox()->setText(QStringLiteral("0.5"));
            for (int i = 0; i < 3; ++i)
                d->backUpButton()->click();
            done = d->lastCopyLabel()->text();
            d->saveButton()->click();
        });
        s->backupButton()->click();

        QCOMPARE(shownFolder, backupsOf(*f.file));
        QCOMPARE(f.boxes->count(), 1);
        QVERIFY2(f.boxes->lastText().contains(QStringLiteral("保留几份")), qPrintable(f.boxes->lastText()));
        QVERIFY2(done.startsWith(QStringLiteral("已备份到 ")), qPrintable(done));
        const QStringList copies = Backup::list(f.file->path(), backupsOf(*f.file));
        QCOMPARE(copies.size(), 2);
        QCOMPARE(f.file->rows(withNames("select {name}, {value} from {TillSettings} order by {name}")),
                 (QList<QVariantList>{{QStringLiteral("backup.folder"), QString()},
                                      {QStringLiteral("backup.hours"), QStringLiteral("0.5")},
                                      {QStringLiteral("backup.keep"), QStringLiteral("2")}}));
        // The automatic copies follow the new settings at once.
        QCOMPARE(w->automaticBackup()->intervalMs(), 30 * 60 * 1000);
    }

    // The restored file is what the cashier screen shows at once; the data
    // it replaced is kept aside; a damaged file is refused before anything is asked.
    void restoringThroughTheSettingsWindow()
    {
        CashierFixture f;
        f.file->addProduct(QStringLiteral("OLD"), QStringLiteral("旧货"), 1);
        f.file->setSettings(QStringLiteral("老王"), QStringLiteral("店"), QString());
        const QString copy = Backup::take(f.file->path(), backupsOf(*f.file));
        f.file->addProduct(QStringLiteral("NEW"), QStringLiteral("新货"), 2);
        f.file->setSettings(QStringLiteral("小李"), QStringLiteral("店"), QString());
        f.file->release();

        QTemporaryDir dir;
        const QString damaged = dir.filePath(QStringLiteral("damaged.db"));
        QFile::copy(copy, damaged);
        QFile::resize(damaged, QFileInfo(copy).size() / 2);

        CashierWindow *w = f.open();
        scan(w, QStringLiteral("NEW"));
        QCOMPARE(w->saleGrid()->model()->rowCount(), 1);
        ShopSettingsWindow *s = openSettings(w);
        QVERIFY(s);

        FileDialogAnswers files({damaged, copy});
        s->restoreButton()->click();
        QCOMPARE(f.boxes->count(), 1);
        QVERIFY2(f.boxes->lastText().contains(QStringLiteral("已经损坏")), qPrintable(f.boxes->lastText()));
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("小李"));

        f.boxes->clear();
        f.boxes->setAnswer(QMessageBox::Yes);
        s->restoreButton()->click();
        QCOMPARE(f.boxes->count(), 2);
        QVERIFY(f.boxes->seen()[0].text.contains(QStringLiteral("确定要恢复吗")));
        QVERIFY(f.boxes->seen()[1].text.contains(QStringLiteral("恢复前的数据另存为")));

        QCOMPARE(codes(*f.file), QStringList{QStringLiteral("OLD")});
        QCOMPARE(w->cashierBox()->text(), QStringLiteral("老王"));
        QCOMPARE(s->cashierBox()->text(), QStringLiteral("老王"));
        QCOMPARE(w->productBox()->items(), QStringList{QStringLiteral("旧货")});
        QCOMPARE(w->saleGrid()->model()->rowCount(), 0);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("0"));
        const QStringList aside = QDir(backupsOf(*f.file)).entryList({QStringLiteral("*-before-restore.db")});
        QCOMPARE(aside.size(), 1);

        // Selling goes on on the restored file.
        scan(w, QStringLiteral("OLD"));
        QCOMPARE(f.file->count(Tables::OpenSale::table), 1);
        QCOMPARE(w->totalAmountLabel()->text(), QStringLiteral("1"));
    }

    // One deleted file: the program starts without data, and the settings
    // window brings the data back from the last copy.
    // A data file deleted, damaged in its header or empty: the program starts
    // without data and the restore brings it back, keeping what was there.
    void aDeletedDataFileIsBroughtBack_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("deleted") << true << QByteArray();
        QTest::newRow("header overwritten") << false << QByteArray(8192, '\x5A');
        QTest::newRow("zero bytes") << false << QByteArray();
    }

    void aDeletedDataFileIsBroughtBack()
    {
        QFETCH(bool, deleted);
        QFETCH(QByteArray, bytes);
        CashierFixture f;
        f.file->addProduct(QStringLiteral("6901"), QStringLiteral("可乐"), 3);
        const QString copy = Backup::take(f.file->path(), backupsOf(*f.file));
        f.file->release();
        QVERIFY(QFile::remove(f.file->path()));
        if (!deleted) {
            QFile damaged(f.file->path());
            QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(bytes) == bytes.size());
        }

        CashierWindow *w = f.open();
        QVERIFY(f.boxes->count() >= 1);   // no data: the connection error
        ShopSettingsWindow *s = openSettings(w);
        QVERIFY(s);
        f.boxes->clear();
        f.boxes->setAnswer(QMessageBox::Yes);
        FileDialogAnswers files({copy});
        s->restoreButton()->click();
        QCOMPARE(files.titles(), QStringList{QStringLiteral("选择要恢复的备份文件")});
        QVERIFY2(f.boxes->lastText().contains(QStringLiteral("已从")), qPrintable(f.boxes->lastText()));
        QCOMPARE(w->productBox()->items(), QStringList{QStringLiteral("可乐")});
        QCOMPARE(codes(*f.file), QStringList{QStringLiteral("6901")});
        QVERIFY(w->automaticBackup()->intervalMs() > 0);
        const QStringList aside =
            QDir(backupsOf(*f.file)).entryList({QStringLiteral("*-before-restore.db")}, QDir::Files);
        QCOMPARE(aside.size(), deleted ? 0 : 1);
        // An empty file the screen opened is an empty database by then; a damaged one is kept as it was.
        if (!bytes.isEmpty()) {
            QFile kept(QDir(backupsOf(*f.file)).filePath(aside.first()));
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), bytes);
        }
    }

    // A failing automatic copy is told once, on the cashier screen itself:
    // nothing takes the keyboard or waits for an answer, scanning goes on.
    void aFailingAutomaticCopyIsToldOnceAndSellingGoesOn()
    {
        CashierFixture f;
        f.file->addProduct(QStringLiteral("6901"), QStringLiteral("可乐"), 3);
        QFile plain(QDir(f.file->folder()).filePath(QStringLiteral("plain-file")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        f.file->exec(withNames("insert into {TillSettings} ({till}, {name}, {value}) values "
                                    "(1, 'backup.folder', 'plain-file/backups'), (1, 'backup.hours', '0.0002')"));
        CashierWindow *w = f.open();
        QCOMPARE(w->automaticBackup()->intervalMs(), 720);
        QSignalSpy failed(w->automaticBackup(), &AutomaticBackup::failed);
        QSignalSpy tries(w->automaticBackup(), &AutomaticBackup::finished);

        QVERIFY(QTest::qWaitFor([w] { return w->backupWarning()->isVisible(); }, 10000));
        QCOMPARE(QApplication::focusWidget(), w->productBox());
        scan(w, QStringLiteral("6901"));
        QCOMPARE(f.file->count(Tables::OpenSale::table), 1);
        QCOMPARE(f.boxes->count(), 0);

        // A click tells why and puts the warning away; later failures do not bring it back.
        QTest::mouseClick(w->backupWarning(), Qt::LeftButton);
        QCOMPARE(f.boxes->count(), 1);
        QVERIFY2(f.boxes->lastText().contains(QStringLiteral("plain-file")), qPrintable(f.boxes->lastText()));
        QVERIFY(!w->backupWarning()->isVisible());
        const int triesBefore = int(tries.size());
        QTRY_VERIFY_WITH_TIMEOUT(tries.size() >= triesBefore + 3, 10000);
        QCOMPARE(failed.size(), 1);
        QVERIFY(!w->backupWarning()->isVisible());

        // Closing tries once more and, having told already, asks nothing.
        QTest::keyClick(w->productBox(), Qt::Key_Escape);
        QCOMPARE(f.boxes->count(), 1);
    }

    void closingTakesACopyAndKeepsTheNewest()
    {
        CashierFixture f;
        f.file->addProduct(QStringLiteral("6901"), QStringLiteral("可乐"), 3);
        f.file->exec(withNames("insert into {TillSettings} ({till}, {name}, {value}) values (1, 'backup.keep', '2')"));
        for (int i = 0; i < 3; ++i) {
            CashierWindow *w = f.open();
            QTest::keyClick(w->productBox(), Qt::Key_Escape);
        }
        const QStringList copies = Backup::list(f.file->path(), backupsOf(*f.file));
        QCOMPARE(copies.size(), 2);
        QCOMPARE(f.boxes->count(), 0);
    }
};

FENWO_TEST_MAIN(TestBackupWindow)
#include "tst_backupwindow.moc"
