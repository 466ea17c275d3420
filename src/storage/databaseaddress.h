#pragma once

#include "storage/dialect.h"

#include <QList>
#include <QPair>
#include <QString>

// Where the shop's database is: a file (SQLite, one till) or a database on a
// PostgreSQL server that several tills share, written
//
//     postgresql://USER@HOST:PORT/DBNAME
//
// (postgres:// too; a query such as ?host=/run/postgresql or ?sslmode=require
// passes libpq's own settings on). The password is best left out: libpq reads
// it from PGPASSWORD or ~/.pgpass, as psql does.
class DatabaseAddress final
{
public:
    DatabaseAddress() = default;

    // Anything that does not begin with postgresql:// or postgres:// is a
    // file path. Throws DatabaseError for a server address it cannot read.
    static DatabaseAddress parse(const QString &text);
    static bool isServerAddress(const QString &text);

    // A server address from its parts, as the settings window has them;
    // options: further libpq settings as "key=value key=value" (sslmode=require
    // sslrootcert=/etc/fenwo/root.crt). A password is refused there.
    static DatabaseAddress server(const QString &host, int port, const QString &databaseName, const QString &user,
                                  const QString &options = {});

    // Any text that may hold an address or libpq settings (a message, an
    // address as typed) with every password in it replaced by "***": no
    // output of the program shows a password.
    static QString masked(const QString &text);

    Dialect dialect() const { return m_server ? Dialect::Postgres : Dialect::Sqlite; }
    bool isServer() const { return m_server; }
    bool isEmpty() const { return !m_server && m_filePath.isEmpty(); }

    QString filePath() const { return m_filePath; }
    QString host() const { return m_host; }
    int port() const { return m_port; }   // -1: libpq's default (5432)
    QString databaseName() const { return m_databaseName; }
    QString user() const { return m_user; }
    QString password() const { return m_password; }

    // libpq settings for the Qt driver: the 3-second connect timeout, the
    // keepalives that notice a server gone away, and those of the address.
    QString connectOptions() const;

    // "192.168.1.10:5432" (the socket folder for a local socket), for messages.
    QString serverName() const;
    // The address as written, without a password; the file path for a file.
    QString text() const;
    // The further libpq settings, as server() takes them, without a password.
    QString optionsText() const;

private:
    bool m_server = false;
    QString m_filePath;
    QString m_host;
    int m_port = -1;
    QString m_databaseName;
    QString m_user;
    QString m_password;
    QList<QPair<QString, QString>> m_options;   // further libpq settings from the query
};
