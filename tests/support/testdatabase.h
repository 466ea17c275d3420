#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

// A fresh database file with every table, in a temporary folder that goes
// away with the object. Rows are written and read with plain SQL on a
// connection of its own, so checks do not go through the code under test.
class TestDatabase final
{
public:
    // folder: where data.db is made (a small disk of a test's own); a
    // temporary folder of its own by default.
    explicit TestDatabase(const QString &folder = {});
    // A file of another layout, made by these statements alone, as another
    // tool or an older version would have left it.
    explicit TestDatabase(const QStringList &layout);
    ~TestDatabase();

    QString path() const { return m_path; }
    QString folder() const;
    // Closes the test's own connection until the next check needs it: a
    // restore refuses to replace a file another connection has open.
    void release();

    void exec(const QString &sql, const QVariantList &params = {});
    QList<QVariantList> rows(const QString &sql, const QVariantList &params = {});
    QVariant scalar(const QString &sql, const QVariantList &params = {});
    int count(const QString &table);

    void addProduct(const QString &code, const QString &name, double price);
    void addSaleLine(const QString &code, const QString &name, double quantity, double price);
    void setSettings(const QString &cashier, const QString &shopName, const QString &remark);

private:
    void connect();

    QTemporaryDir m_dir;
    QString m_path;
    QString m_connection;
};
