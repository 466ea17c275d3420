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

    // Wherever an address is echoed (a refusal, a message, a command's
    // output), a password in it is not.
    void aPasswordIsNeverEchoed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("in the address") << "连接不上 postgresql://kasse:ge;heim@h/shop 了"
                                        << "连接不上 postgresql://kasse:***@h/shop 了";
        QTest::newRow("in the query") << "postgresql://kasse@h/shop?sslmode=require&password=geheim&x=1"
                                      << "postgresql://kasse@h/shop?sslmode=require&password=***&x=1";
        QTest::newRow("as a libpq setting") << "host=h password='ge heim' dbname=shop"
                                            << "host=h password=*** dbname=shop";
    }
    void aPasswordIsNeverEchoed()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(DatabaseAddress::masked(text), shown);
        const DatabaseAddress inQuery =
            DatabaseAddress::parse(QStringLiteral("postgresql://kasse@h/shop?sslmode=require&password=ge%3Bheim"));
        QCOMPARE(inQuery.text(), QStringLiteral("postgresql://kasse@h/shop?sslmode=require"));
        try {
            inQuery.connectOptions();
            QFAIL("a password with a semicolon was passed on");
        } catch (const DatabaseError &e) {
            QVERIFY2(!e.message().contains(QStringLiteral("heim")), qPrintable(e.message()));
        }
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
