#include "pinyinindex.h"

#include "base/apperror.h"
#include "base/pinyinkeys.h"
#include "storage/database.h"
#include "storage/preparedstatement.h"
#include "storage/schema.h"
#include "storage/statements.h"
#include "storage/tables.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QHash>
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

void PinyinIndex::store(PreparedStatement &forget, PreparedStatement &add, const QString &code, const QString &name)
{
    forget.reset();
    forget.rebind({code});
    forget.step();
    for (const PinyinKeys::Spelling &s : PinyinKeys::of(name)) {
        add.reset();
        add.rebind({code, name, int(s.kind), s.text});
        add.step();
    }
}

void PinyinIndex::storeNew(PreparedStatement &add, const QString &code, const QString &name)
{
    for (const PinyinKeys::Spelling &s : PinyinKeys::of(name)) {
        add.reset();
        add.rebind({code, name, int(s.kind), s.text});
        add.step();
    }
}

void PinyinIndex::storeAll(QSqlDatabase &db)
{
    // The table was just made: nothing to forget. One statement a product,
    // one prepared statement for each number of spellings.
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
    const QString one = Statements::addPinyin({}, {}, 0, {}).sql;
    const QString values = one.mid(one.lastIndexOf(QLatin1String("(?")));
    QHash<qsizetype, QSqlQuery> adds;
    for (const auto &[code, name] : std::as_const(products)) {
        const QList<PinyinKeys::Spelling> spellings = PinyinKeys::of(name);
        if (spellings.isEmpty())
            continue;
        auto add = adds.find(spellings.size());
        if (add == adds.end()) {
            QStringList rows(spellings.size(), values);
            add = adds.insert(spellings.size(), QSqlQuery(db));
            if (!add->prepare(one.left(one.lastIndexOf(QLatin1String("(?"))) + rows.join(QStringLiteral(", "))))
                throw DatabaseError(add->lastError().text());
        }
        int at = 0;
        for (const PinyinKeys::Spelling &s : spellings) {
            add->bindValue(at++, code);
            add->bindValue(at++, name);
            add->bindValue(at++, int(s.kind));
            add->bindValue(at++, s.text);
        }
        if (!add->exec())
            throw DatabaseError(add->lastError().text());
    }
    adds.clear();
    for (const QString &index : std::as_const(indexes))
        run(index);
    run(Statements::importCache(QStringLiteral("main"), 2000).sql);   // SQLite's own size again
}
