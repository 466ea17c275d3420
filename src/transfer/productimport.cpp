#include "productimport.h"

#include "base/apperror.h"
#include "storage/database.h"
#include "base/numbertext.h"
#include "storage/preparedstatement.h"
#include "storage/statements.h"

#include <QFile>
#include <QRegularExpression>


namespace {

constexpr qint64 kProgressEvery = 4096;

// Blanks (full-width ones too) and control characters around a field are no
// part of it, as the till ignores them around typed text.
QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c.unicode() <= 0x20 || c.isSpace() || c == QChar(0xFEFF); };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// A column title as compared: no blanks, lower case, without a remark in
// brackets ("编码(条形码)" is 编码).
QString titleKey(const QString &title)
{
    static const QRegularExpression remark(QStringLiteral("[(（].*[)）]"));
    QString key = trimmed(title);
    key.remove(remark);
    key.remove(QRegularExpression(QStringLiteral("\\s")));
    return key.toLower();
}

const QStringList &titlesOf(ProductImport::Role role)
{
    static const QStringList code{QStringLiteral("编码"), QStringLiteral("条码"), QStringLiteral("条形码"),
                                  QStringLiteral("商品编码"), QStringLiteral("商品条码"), QStringLiteral("barcode"),
                                  QStringLiteral("code")};
    static const QStringList name{QStringLiteral("品名"), QStringLiteral("名称"), QStringLiteral("商品名称"),
                                  QStringLiteral("商品名"), QStringLiteral("name")};
    static const QStringList price{QStringLiteral("单价"), QStringLiteral("售价"), QStringLiteral("价格"),
                                   QStringLiteral("零售价"), QStringLiteral("price")};
    switch (role) {
    case ProductImport::Code: return code;
    case ProductImport::Name: return name;
    default: return price;
    }
}

QString field(const QStringList &fields, int column)
{
    const QString text = column >= 0 && column < fields.size() ? trimmed(fields[column]) : QString();
    // The export's guard against spreadsheet formulas ('=…) comes off again.
    if (text.size() > 2 && text.front() == QLatin1Char('\'') && QStringLiteral("=+-@").contains(text.at(1)))
        return text.mid(1);
    return text;
}

bool allBlank(const QStringList &fields)
{
    for (const QString &f : fields)
        if (!trimmed(f).isEmpty())
            return false;
    return true;
}

QFile *openFile(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("无法打开文件 %1：%2").arg(file.fileName(), file.errorString()));
    return &file;
}

// A stored price and a price from the file are the same when both are
// missing or both are the same number.
bool samePrice(const QVariant &stored, const QVariant &given)
{
    if (given.isNull())
        return true;   // a missing price keeps the stored one
    if (stored.isNull())
        return false;
    bool ok = false;
    const double value = stored.toDouble(&ok);
    return ok && value == given.toDouble();
}

} // namespace

ProductImport::ProductImport(QString filePath)
    : m_filePath(std::move(filePath))
{
    QFile file(m_filePath);
    openFile(file);
    m_format = CsvReader::detect(file);
    CsvReader reader(file, m_format);
    QStringList first;
    // Blank lines before the titles are passed over.
    while (reader.next(&first) && allBlank(first)) {
    }

    int found[RoleCount] = {-1, -1, -1};
    for (int column = 0; column < first.size(); ++column) {
        const QString key = titleKey(first[column]);
        for (int role = 0; role < RoleCount; ++role) {
            if (found[role] < 0 && titlesOf(Role(role)).contains(key)) {
                found[role] = column;
                break;
            }
        }
    }
    // Titles count when they name at least the code and the name.
    m_hasHeader = found[Code] >= 0 && found[Name] >= 0;
    if (m_hasHeader) {
        m_header = first;
        for (int role = 0; role < RoleCount; ++role)
            m_columns[role] = found[role];
    }
}

QString ProductImport::columnSource(Role role) const
{
    const int column = m_columns[role];
    if (column < 0)
        return QStringLiteral("（没有）");
    const QString place = QStringLiteral("第 %1 列").arg(column + 1);
    if (!m_hasHeader)
        return place;
    return QStringLiteral("%1（%2）").arg(trimmed(m_header.value(column)), place);
}

ProductImport::Row ProductImport::rowOf(const QStringList &fields, qint64 line) const
{
    Row row;
    row.line = line;
    row.code = field(fields, m_columns[Code]);
    row.name = field(fields, m_columns[Name]);
    row.price = field(fields, m_columns[Price]);
    double price = 0;
    if (row.code.isEmpty())
        row.problem = QStringLiteral("编码为空");
    else if (row.name.isEmpty())
        row.problem = QStringLiteral("品名为空");
    else if (!row.price.isEmpty() && !tryTextToNumber(row.price, &price))
        row.problem = QStringLiteral("单价不是数字");
    else if (!row.price.isEmpty())
        row.priceValue = price;
    return row;
}

QList<ProductImport::Row> ProductImport::preview(int rows) const
{
    QFile file(m_filePath);
    CsvReader reader(*openFile(file), m_format);
    QList<Row> out;
    QStringList fields;
    bool titles = m_hasHeader;
    while (out.size() < rows && reader.next(&fields)) {
        if (allBlank(fields))
            continue;
        if (titles) {
            titles = false;
            continue;
        }
        out << rowOf(fields, reader.recordLine());
    }
    return out;
}

ImportReport ProductImport::run(Database &db, Existing existing, const std::function<void(qint64)> &progress) const
{
    QFile file(m_filePath);
    CsvReader reader(*openFile(file), m_format);
    ImportReport report;

    Transaction transaction(db);
    db.execute(Statements::importEndCodes());
    db.execute(Statements::importStartCodes());
    readInto(db, reader, existing, progress, &report);
    db.execute(Statements::importEndCodes());
    transaction.commit();
    return report;
}

void ProductImport::readInto(Database &db, CsvReader &reader, Existing existing,
                             const std::function<void(qint64)> &progress, ImportReport *report) const
{
    PreparedStatement take(db, Statements::importTakeCode({}, 0));
    PreparedStatement takenOn(db, Statements::importCodeLine({}));
    PreparedStatement find(db, Statements::importFindProduct({}));
    PreparedStatement update(db, Statements::importUpdateProduct({}, {}, {}));
    PreparedStatement add(db, Statements::importAddProduct({}, {}, {}));
    auto run = [](PreparedStatement &statement, const QVariantList &params) {
        statement.reset();
        statement.rebind(params);
        return statement.step();
    };

    QStringList fields;
    bool titles = m_hasHeader;
    qint64 rowsRead = 0;
    while (reader.next(&fields)) {
        if (progress && ++rowsRead % kProgressEvery == 0)
            progress(rowsRead);
        if (allBlank(fields))
            continue;
        if (titles) {
            titles = false;
            continue;
        }
        const Row row = rowOf(fields, reader.recordLine());
        if (!row.problem.isEmpty()) {
            report->addBadRow({row.line, row.problem, row.code, row.name, row.price});
            continue;
        }
        // The first row with a code is the one imported; later ones are reported.
        run(take, {row.code, row.line});
        if (take.changes() == 0) {
            run(takenOn, {row.code});
            report->addBadRow({row.line, QStringLiteral("编码重复（第 %1 行已有这个编码）").arg(takenOn.value(0).toLongLong()),
                              row.code, row.name, row.price});
            continue;
        }
        const QVariant &price = row.priceValue;
        if (run(find, {row.code})) {
            if (existing == Existing::Skip) {
                ++report->skipped;
            } else if (find.value(0).toString() == row.name && samePrice(find.value(1), price)) {
                ++report->unchanged;
            } else {
                run(update, {row.name, price, row.code});
                ++report->updated;
            }
        } else {
            run(add, {row.code, row.name, price});
            ++report->added;
        }
    }
}
