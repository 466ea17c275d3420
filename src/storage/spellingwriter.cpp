#include "spellingwriter.h"

#include "base/pinyinkeys.h"
#include "storage/database.h"
#include "storage/preparedstatement.h"
#include "storage/statements.h"

namespace {

constexpr int kValuesARow = 4;

} // namespace

SpellingWriter::SpellingWriter(Database &db)
    : m_db(db)
{
    m_values.reserve(kRowsAtOnce * kValuesARow + PinyinKeys::kMostOfAKind * 2 * kValuesARow);
}

SpellingWriter::~SpellingWriter() = default;

void SpellingWriter::add(const QString &code, const QString &name)
{
    queue(code, name);
}

void SpellingWriter::replace(const QString &code, const QString &name)
{
    m_codes << code;
    queue(code, name);
}

void SpellingWriter::queue(const QString &code, const QString &name)
{
    for (const PinyinKeys::Spelling &s : PinyinKeys::of(name))
        m_values << code << name << int(s.kind) << s.text;
    if (m_values.size() >= kRowsAtOnce * kValuesARow || m_codes.size() >= kCodesAtOnce)
        flush(false);
}

void SpellingWriter::finish()
{
    flush(true);
}

// Every old spelling pending goes before any new one of the same products
// is written; new rows short of a full insert wait for more, unless all go.
void SpellingWriter::flush(bool all)
{
    auto run = [this](QVariantList &pending, qsizetype batch, std::unique_ptr<PreparedStatement> &prepared,
                      Statement (*statement)(const QVariantList &), bool rest) {
        qsizetype at = 0;
        for (; pending.size() - at >= batch; at += batch) {
            const QVariantList part = pending.mid(at, batch);
            if (!prepared)
                prepared = std::make_unique<PreparedStatement>(m_db, statement(part));
            prepared->reset();
            prepared->rebind(part);
            prepared->step();
        }
        if (rest && at < pending.size()) {
            m_db.execute(statement(pending.mid(at)));
            at = pending.size();
        }
        pending.remove(0, at);
    };
    run(m_codes, kCodesAtOnce, m_forget, &Statements::forgetPinyinOf, true);
    run(m_values, qsizetype(kRowsAtOnce) * kValuesARow, m_insert, &Statements::addPinyinRows, all);
}
