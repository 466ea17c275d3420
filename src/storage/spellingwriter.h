#pragma once

#include <QString>
#include <QVariantList>

#include <memory>

class Database;
class PreparedStatement;

// Writes the pinyin spellings of many products (an import) in batches: the
// old spellings of a batch's products go in one statement, the new ones in
// inserts of many rows, each prepared once. On a server that is a round trip
// a batch instead of one a spelling. Call finish() before the transaction
// commits; what is not finished is not written.
class SpellingWriter final
{
    Q_DISABLE_COPY_MOVE(SpellingWriter)

public:
    explicit SpellingWriter(Database &db);
    ~SpellingWriter();

    // A product new to the catalogue: it has no spellings to forget.
    void add(const QString &code, const QString &name);
    // A product whose name changed: its old spellings make way for the new ones.
    void replace(const QString &code, const QString &name);
    // Writes what is still pending.
    void finish();

    // Spellings a full insert holds, and codes a full delete.
    static constexpr int kRowsAtOnce = 250;
    static constexpr int kCodesAtOnce = 500;

private:
    void queue(const QString &code, const QString &name);
    void flush(bool all);

    Database &m_db;
    std::unique_ptr<PreparedStatement> m_insert;   // kRowsAtOnce rows
    std::unique_ptr<PreparedStatement> m_forget;   // kCodesAtOnce codes
    QVariantList m_values;                         // code, name, kind, spelling of each pending row
    QVariantList m_codes;                          // codes whose spellings go first
};
