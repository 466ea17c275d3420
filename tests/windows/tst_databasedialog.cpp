// This computer's database and till number, set in the shop settings'
// "数据库…" dialog and kept in ~/.config/fenwo/fenwo.conf.
#include "cashierfixture.h"
#include "fenwotestmain.h"
#include "modalwatcher.h"
#include "testdatabase.h"
#include "whenmodalshows.h"

#include "base/apperror.h"
#include "app/localsettings.h"
#include "app/tillsession.h"
#include "windows/databasedialog.h"
#include "windows/shopsettingswindow.h"
#include "widgets/flatcheckbox.h"
#include "widgets/flatedit.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatspeedbutton.h"
#include "widgets/skinbutton.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrl>

class TestDatabaseDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir config;

    static void type(FlatEdit *box, const QString &text)
    {
        box->setText(text);
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }
    void init()
    {
        QFile::remove(LocalSettings::filePath());
    }

    void aServerAndATillNumberAreStoredForTheNextStart()
    {
        {
            const auto made = TillSession::databaseDialog(QStringLiteral("/srv/shop/data.db"));
            DatabaseDialog &dialog = *made;
            QVERIFY(!dialog.serverBox()->isChecked());
            QVERIFY(!dialog.hostBox()->isEnabled());
            QCOMPARE(dialog.tillBox()->text(), QStringLiteral("1"));
            QCOMPARE(dialog.portBox()->text(), QStringLiteral("5432"));
            dialog.serverBox()->setChecked(true);
            QVERIFY(dialog.hostBox()->isEnabled());
            type(dialog.hostBox(), QStringLiteral(" 192.168.1.10 "));
            type(dialog.databaseBox(), QStringLiteral("shop"));
            type(dialog.userBox(), QStringLiteral("kasse"));
            type(dialog.tillBox(), QStringLiteral("3"));
            dialog.save();
        }
        QCOMPARE(LocalSettings::filePath(), config.filePath(QStringLiteral("fenwo/fenwo.conf")));
        const LocalSettings stored = LocalSettings::load();
        QCOMPARE(stored.databaseAddress, QStringLiteral("postgresql://kasse@192.168.1.10:5432/shop"));
        QCOMPARE(stored.tillNumber, 3);

        // Shown again as stored; back to the data file, the till number stays.
        const auto madeAgain = TillSession::databaseDialog(stored.databaseAddress);
        DatabaseDialog &again = *madeAgain;
        QVERIFY(again.serverBox()->isChecked());
        QCOMPARE(again.hostBox()->text(), QStringLiteral("192.168.1.10"));
        QCOMPARE(again.databaseBox()->text(), QStringLiteral("shop"));
        QCOMPARE(again.userBox()->text(), QStringLiteral("kasse"));
        QCOMPARE(again.tillBox()->text(), QStringLiteral("3"));
        // Encryption typed in the options box is kept through the next save.
        type(again.optionsBox(), QStringLiteral("sslmode=require sslrootcert=/etc/fenwo/root.crt"));
        again.save();
        QCOMPARE(LocalSettings::load().databaseAddress,
                 QStringLiteral("postgresql://kasse@192.168.1.10:5432/shop?sslmode=require&sslrootcert=/etc/fenwo/root.crt"));
        {
            const auto shown = TillSession::databaseDialog(LocalSettings::load().databaseAddress);
            QCOMPARE(shown->optionsBox()->text(), QStringLiteral("sslmode=require sslrootcert=/etc/fenwo/root.crt"));
            shown->save();
        }
        QVERIFY(LocalSettings::load().databaseAddress.endsWith(QStringLiteral("?sslmode=require&sslrootcert=/etc/fenwo/root.crt")));
        again.serverBox()->setChecked(false);
        again.save();
        QCOMPARE(LocalSettings::load().databaseAddress, QString());
        QCOMPARE(LocalSettings::load().tillNumber, 3);
    }

    // "数据库…" in the shop settings shows what this computer keeps; a file
    // that cannot be written is told, and the dialog stays for another try.
    void theShopSettingsButtonWorksOnThisComputersFile()
    {
        LocalSettings{QStringLiteral("postgresql://kasse@192.168.1.10:5432/shop"), 4}.save();
        CashierFixture f;
        ShopSettingsWindow *settings = openSettings(f.open());
        QVERIFY(settings);

        const QString path = LocalSettings::filePath();
        QString shownHost, shownTill;
        bool stayedOpen = false;
        whenModalShows<DatabaseDialog>([&](DatabaseDialog *d) {
            shownHost = d->hostBox()->text();
            shownTill = d->tillBox()->text();
            type(d->tillBox(), QStringLiteral("5"));
            // A folder where the file should be: it cannot be written.
            QFile::remove(path);
            QDir().mkpath(path);
            d->saveButton()->click();
            stayedOpen = d->isVisible();
            QDir().rmdir(path);
            d->saveButton()->click();
        });
        settings->databaseButton()->click();

        QCOMPARE(shownHost, QStringLiteral("192.168.1.10"));
        QCOMPARE(shownTill, QStringLiteral("4"));
        QVERIFY(stayedOpen);
        QCOMPARE(f.boxes->count(), 1);
        QVERIFY2(f.boxes->lastText().contains(path), qPrintable(f.boxes->lastText()));
        QCOMPARE(LocalSettings::load().tillNumber, 5);
        QCOMPARE(LocalSettings::load().databaseAddress, QStringLiteral("postgresql://kasse@192.168.1.10:5432/shop"));
    }

    void whatMakesNoSenseIsRefusedAndNothingStored_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("till");
        QTest::addColumn<QString>("message");
        QTest::newRow("no server") << "" << "5432" << "shop" << "1" << "请填上数据库服务器的地址";
        QTest::newRow("port out of range") << "pos" << "70000" << "shop" << "1" << "端口要是 1 到 65535";
        QTest::newRow("no database") << "pos" << "5432" << "" << "1" << "请填上数据库的名字";
        QTest::newRow("till 0") << "pos" << "5432" << "shop" << "0" << "收银台号要是 1 到 999";
        QTest::newRow("till in words") << "pos" << "5432" << "shop" << "二" << "收银台号要是 1 到 999";
    }
    void whatMakesNoSenseIsRefusedAndNothingStored()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, database);
        QFETCH(QString, till);
        QFETCH(QString, message);
        const auto made = TillSession::databaseDialog(QStringLiteral("data.db"));
        DatabaseDialog &dialog = *made;
        dialog.serverBox()->setChecked(true);
        type(dialog.hostBox(), host);
        type(dialog.portBox(), port);
        type(dialog.databaseBox(), database);
        type(dialog.tillBox(), till);
        try {
            dialog.save();
            QFAIL("stored");
        } catch (const Refusal &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        QVERIFY(!QFile::exists(LocalSettings::filePath()));
    }

    void testingTheConnectionSaysWhatTheServerAnswers()
    {
        DatabaseDialog dialog(QStringLiteral("data.db"), QString(), 1);
        dialog.serverBox()->setChecked(true);
        // Nothing listens on this port: refused at once, the server named.
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        const int port = closed.serverPort();
        closed.close();
        type(dialog.hostBox(), QStringLiteral("127.0.0.1"));
        type(dialog.portBox(), QString::number(port));
        type(dialog.databaseBox(), QStringLiteral("shop"));
        dialog.testConnection();
        QVERIFY2(dialog.testResultLabel()->text().contains(QStringLiteral("127.0.0.1:%1").arg(port)),
                 qPrintable(dialog.testResultLabel()->text()));

        if (TestDatabase::serverAddress().isEmpty())
            QSKIP("no test server");
        const QUrl server(TestDatabase::makeEmptyServerDatabase());
        type(dialog.portBox(), QString::number(server.port()));
        type(dialog.userBox(), server.userName());
        type(dialog.databaseBox(), server.path().mid(1));
        dialog.testConnection();
        QVERIFY2(dialog.testResultLabel()->text().contains(QStringLiteral("--init-db")),
                 qPrintable(dialog.testResultLabel()->text()));
        TestDatabase made;
        if (!TestDatabase::onServer())
            return;
        const QUrl ready(made.path());
        type(dialog.databaseBox(), ready.path().mid(1));
        dialog.testConnection();
        QVERIFY2(dialog.testResultLabel()->text().startsWith(QStringLiteral("连接成功")),
                 qPrintable(dialog.testResultLabel()->text()));
    }
};

FENWO_TEST_MAIN(TestDatabaseDialog)
#include "tst_databasedialog.moc"
