#include "pinyinindex.h"

#include "base/apperror.h"
#include "base/pinyinkeys.h"
#include "storage/database.h"
#include "storage/preparedstatement.h"
#include "storage/statements.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

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

void PinyinIndex::storeAll(QSqlDatabase &db)
{
    QList<std::pair<QString, QString>> products;
    {
        QSqlQuery read(db);
        read.setForwardOnly(true);
        if (!read.exec(Statements::productsForPinyin().sql))
            throw DatabaseError(read.lastError().text());
        while (read.next())
            products.append({read.value(0).toString(), read.value(1).toString()});
    }
    QSqlQuery forget(db);
    QSqlQuery add(db);
    if (!forget.prepare(Statements::forgetPinyin({}).sql) || !add.prepare(Statements::addPinyin({}, {}, 0, {}).sql))
        throw DatabaseError(db.lastError().text());
    for (const auto &[code, name] : std::as_const(products)) {
        forget.bindValue(0, code);
        if (!forget.exec())
            throw DatabaseError(forget.lastError().text());
        for (const PinyinKeys::Spelling &s : PinyinKeys::of(name)) {
            add.bindValue(0, code);
            add.bindValue(1, name);
            add.bindValue(2, int(s.kind));
            add.bindValue(3, s.text);
            if (!add.exec())
                throw DatabaseError(add.lastError().text());
        }
    }
}
