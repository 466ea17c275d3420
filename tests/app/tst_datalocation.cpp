#include "fenwotestmain.h"
#include "testdatabase.h"

#include "app/datalocation.h"
#include "app/firststart.h"
#include "base/apperror.h"
#include "storage/tables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

int countRows(const QString &path, const QString &table)
{
    return TestDatabase::rowsAt(path, QStringLiteral("SELECT count(*) FROM ") + table).value(0).value(0).toInt();
}

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

} // namespace

class TestDataLocation : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        m_dataHome = m_root->filePath(QStringLiteral("xdg"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome));
    }

    // Where the file is for each layout the program can be started from.
    void theLayoutDecidesWhereTheFileIs_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("asks");

        QTest::newRow("build tree, no file") << "build/bin" << QStringList{} << false << true;
        QTest::newRow("build tree with its file") << "build/bin" << QStringList{"build/bin/data.db"} << false << false;
        QTest::newRow("installed, first start")
            << "usr/bin" << QStringList{"usr/share/fenwo/guide.html"} << true << true;
        QTest::newRow("installed, file made earlier")
            << "usr/bin" << QStringList{"usr/share/fenwo/guide.html", "xdg/fenwo/data.db"} << true << false;
        QTest::newRow("installed folder with a data.db beside the program")
            << "usr/bin" << QStringList{"usr/share/fenwo/guide.html", "usr/bin/data.db"} << false << false;
        QTest::newRow("a bin folder of another program") << "opt/bin" << QStringList{"opt/share/other/x"} << false
                                                        << true;
    }
    void theLayoutDecidesWhereTheFileIs()
    {
        QFETCH(QString, programFolder);
        QFETCH(QStringList, present);
        QFETCH(bool, installed);
        QFETCH(bool, asks);
        const QDir root(m_root->path());
        root.mkpath(programFolder);
        for (const QString &file : present) {
            root.mkpath(QFileInfo(file).path());
            touch(root.filePath(file));
        }

        const DataLocation location(root.filePath(programFolder));
        QCOMPARE(location.kind() == DataLocation::Kind::Installed, installed);
        QCOMPARE(location.databasePath(), installed ? m_dataHome + QStringLiteral("/fenwo/data.db")
                                                    : root.filePath(programFolder + QStringLiteral("/data.db")));
        QCOMPARE(location.isFirstStart(), asks);
    }

    void withoutXdgDataHomeTheFileIsUnderLocalShare()
    {
        const QDir root(m_root->path());
        root.mkpath(QStringLiteral("usr/bin"));
        root.mkpath(QStringLiteral("usr/share/fenwo"));
        root.mkpath(QStringLiteral("home"));
        const QByteArray home = qgetenv("HOME");
        qunsetenv("XDG_DATA_HOME");
        qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
        const QString path = DataLocation(root.filePath(QStringLiteral("usr/bin"))).databasePath();
        qputenv("HOME", home);
        QCOMPARE(path, root.filePath(QStringLiteral("home/.local/share/fenwo/data.db")));
    }

    // The first start makes the missing folders and a file the cashier
    // screen can open; the demo choice brings goods and a settings row.
    void firstStartMakesTheChosenCatalogue_data()
    {
        QTest::addColumn<FirstStart::Choice>("choice");
        QTest::addColumn<bool>("goods");
        QTest::newRow("empty") << FirstStart::Choice::EmptyCatalogue << false;
        QTest::newRow("demo") << FirstStart::Choice::DemoCatalogue << true;
    }
    void firstStartMakesTheChosenCatalogue()
    {
        QFETCH(FirstStart::Choice, choice);
        QFETCH(bool, goods);
        const QString path = m_dataHome + QStringLiteral("/fenwo/data.db");
        FirstStart::makeDatabase(path, choice);
        QVERIFY(QFile::exists(path));
        QCOMPARE(countRows(path, Tables::Catalogue::table) >= 20, goods);
        QCOMPARE(countRows(path, Tables::ShopSettings::table), goods ? 1 : 0);
        QCOMPARE(countRows(path, Tables::SalesRecord::table), 0);
    }

    void firstStartNeverOverwritesAFile()
    {
        const QString path = m_dataHome + QStringLiteral("/fenwo/data.db");
        FirstStart::makeDatabase(path, FirstStart::Choice::DemoCatalogue);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, FirstStart::makeDatabase(path, FirstStart::Choice::EmptyCatalogue));
        QVERIFY(countRows(path, Tables::Catalogue::table) >= 20);
    }

    void firstStartInAFolderItCannotMakeFailsWithoutAFile()
    {
        // A file where the folder should be.
        touch(m_dataHome);
        const QString path = m_dataHome + QStringLiteral("/fenwo/data.db");
        QVERIFY_THROWS_EXCEPTION(DatabaseError, FirstStart::makeDatabase(path, FirstStart::Choice::DemoCatalogue));
        QVERIFY(!QFile::exists(path));
    }

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_dataHome;
};

FENWO_TEST_MAIN(TestDataLocation)
#include "tst_datalocation.moc"
