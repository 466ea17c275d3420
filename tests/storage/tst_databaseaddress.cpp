// Database addresses as a shop writes them: a file, or a server.
#include "base/apperror.h"
#include "storage/databaseaddress.h"

#include <QTest>

class TestDatabaseAddress : public QObject
{
    Q_OBJECT

private slots:
    void serverAddressesAreReadAsLibpqReadsThem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("serverName");
        QTest::newRow("all parts") << "postgresql://kasse@192.168.1.10:5433/shop" << "192.168.1.10" << 5433 << "shop"
                                   << "kasse" << "192.168.1.10:5433";
        QTest::newRow("default port") << "postgres://kasse@pos-server/shop" << "pos-server" << -1 << "shop" << "kasse"
                                      << "pos-server:5432";
        QTest::newRow("local socket") << "postgresql://kasse@/shop?host=/run/postgresql" << "/run/postgresql" << -1
                                      << "shop" << "kasse" << "/run/postgresql";
        QTest::newRow("Chinese database name") << "postgresql://u@h/%E5%BA%97" << "h" << -1 << "店" << "u" << "h:5432";
    }
    void serverAddressesAreReadAsLibpqReadsThem()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, database);
        QFETCH(QString, user);
        QFETCH(QString, serverName);
        const DatabaseAddress address = DatabaseAddress::parse(text);
        QVERIFY(address.isServer());
        QCOMPARE(address.host(), host);
        QCOMPARE(address.port(), port);
        QCOMPARE(address.databaseName(), database);
        QCOMPARE(address.user(), user);
        QCOMPARE(address.serverName(), serverName);
        // The connect timeout and keepalives go with every connection.
        QVERIFY(address.connectOptions().contains(QStringLiteral("connect_timeout=3")));
        QVERIFY(address.connectOptions().contains(QStringLiteral("keepalives=1")));
        QCOMPARE(DatabaseAddress::parse(address.text()).databaseName(), database);
    }

    void aPasswordIsUsedButNeverShown()
    {
        const DatabaseAddress address = DatabaseAddress::parse(QStringLiteral("postgresql://kasse:geheim@h/shop"));
        QCOMPARE(address.password(), QStringLiteral("geheim"));
        QVERIFY(!address.text().contains(QStringLiteral("geheim")));
    }

    void anythingElseIsAFileOrRefused()
    {
        QVERIFY(!DatabaseAddress::parse(QStringLiteral("/home/shop/data.db")).isServer());
        QVERIFY(!DatabaseAddress::parse(QStringLiteral("postgresql.db")).isServer());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, DatabaseAddress::parse(QStringLiteral("postgresql://kasse@h")));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, DatabaseAddress::parse(QStringLiteral("postgresql://kasse@h/a/b")));
        // The driver turns ";" into a blank between settings: no value may hold one.
        QVERIFY_THROWS_EXCEPTION(DatabaseError,
                                 DatabaseAddress::parse(QStringLiteral("postgresql://h/shop?sslmode=x%3Bhost%3Devil"))
                                     .connectOptions());
    }
};

QTEST_APPLESS_MAIN(TestDatabaseAddress)
#include "tst_databaseaddress.moc"
