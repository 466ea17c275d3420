#include "pinyinindex.h"

#include "base/apperror.h"
#include "base/pinyinkeys.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "storage/spellingwriter.h"
#include "storage/statements.h"
#include "storage/tables.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

void PinyinIndex::store(Database &db, const QString &code, const QString &name)
{
    // Spellings of a name since changed find nothing (the name goes with
    // them), so no transaction is needed to keep a search right.
    db.execute(Statements::forgetPinyin(code));
    for (const PinyinKeys::Spelling &s : PinyinKeys::of(name))
        db.execute(Statements::addPinyin(code, name, int(s.kind), s.text));
}

void PinyinIndex::storeAll(QSqlDatabase &db)
{
    // The table was just made: nothing to forget.
    QList<std::pair<QString, QString>> products;
    {
        QSqlQuery read(db);
        read.setForwardOnly(true);
        if (!read.exec(Statements::productsForPinyin().sql))
            throw DatabaseError(read.lastError().text());
        while (read.next())
            products.append({read.value(0).toString(), read.value(1).toString()});
    }
    // Written into the bare table and indexed afterwards, in a cache of
    // 64 MB: a sorted build of each index instead of millions of inserts
    // at random places in it.
    QStringList indexes;
    for (const Schema::Table &table : Schema::tables())
        if (table.name == Tables::ProductPinyin::table)
            for (const Schema::Sql &index : table.indexes)
                indexes << index.in(Dialect::Sqlite);
    auto run = [&db](const QString &sql) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            throw DatabaseError(q.lastError().text());
    };
    for (const QString &index : std::as_const(indexes))
        run(QStringLiteral("DROP INDEX IF EXISTS %1").arg(Schema::indexName(index)));
    run(Statements::importCache(QStringLiteral("main"), 64 * 1024).sql);
    // Inserts of many rows each: one statement prepared for the full ones,
    // one more for what is left at the end.
    constexpr qsizetype kBatch = qsizetype(SpellingWriter::kRowsAtOnce) * 4;
    auto write = [](QSqlQuery &add, const QVariantList &values) {
        for (qsizetype i = 0; i < values.size(); ++i)
            add.bindValue(int(i), values.at(i));
        if (!add.exec())
            throw DatabaseError(add.lastError().text());
    };
    auto prepared = [&db](const QVariantList &values) {
        QSqlQuery add(db);
        if (!add.prepare(Statements::addPinyinRows(values).sql))
            throw DatabaseError(add.lastError().text());
        return add;
    };
    QSqlQuery full = prepared(QVariantList(kBatch));
    QVariantList values;
    values.reserve(kBatch + PinyinKeys::kMostOfAKind * 2 * 4);
    for (const auto &[code, name] : std::as_const(products)) {
        for (const PinyinKeys::Spelling &s : PinyinKeys::of(name))
            values << code << name << int(s.kind) << s.text;
        if (values.size() >= kBatch) {
            write(full, values.first(kBatch));
            values.remove(0, kBatch);
        }
    }
    if (!values.isEmpty()) {
        QSqlQuery rest = prepared(values);
        write(rest, values);
    }
    for (const QString &index : std::as_const(indexes))
        run(index);
    run(Statements::importCache(QStringLiteral("main"), 2000).sql);   // SQLite's own size again
}
