#include "till.h"

#include "db/controlcharacters.h"
#include "db/database.h"
#include "db/numbertext.h"
#include "db/shopsettings.h"
#include "db/statements.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptsink.h"

#include <QScopeGuard>
#include <QTime>

namespace {

const QString kCode = QStringLiteral("编码");
const QString kName = QStringLiteral("品名");
const QString kQuantity = QStringLiteral("数量");
const QString kPrice = QStringLiteral("单价");
const QString kAmount = QStringLiteral("金额");

// Control characters anywhere in typed or scanned text are not part of a
// code or name (a scanner sends GS between the parts of a GS1 code; the
// catalogue keeps codes without it), nor are blanks around it.
QString trimmedText(const QString &typed)
{
    const QString text = ControlCharacters::removed(typed);
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

// Sets name, quantity and price of the row being appended or edited, the
// amount from the stored numbers, and writes it; nothing stays half-written.
void fillAndPost(Query &sale, const QString &name, const QString &quantity, const QString &price)
{
    try {
        sale.setText(kName, name);
        sale.setText(kQuantity, quantity);
        sale.setText(kPrice, price);
        sale.setNumber(kAmount, sale.number(kQuantity) * sale.number(kPrice));
        sale.post();
    } catch (...) {
        sale.cancel();
        throw;
    }
}

} // namespace

Till::Till(Database &db)
    : m_db(db)
    , m_lines(db)
{
}

void Till::reopenSale()
{
    m_lines.setStatement(Statements::openSale());
    m_lines.open();
}

QStringList Till::productNames()
{
    Query names(m_db);
    names.setStatement(Statements::productNames());
    names.open();
    QStringList out;
    out.reserve(names.recordCount());
    for (names.first(); !names.eof(); names.next())
        out << names.text(kName);
    return out;
}

std::optional<Product> Till::lookUp(const QString &typed)
{
    return takeLookup(Statements::lookupByCodeOrName(trimmedText(typed)));
}

std::optional<Product> Till::lookUpName(const QString &typed)
{
    return takeLookup(Statements::lookupByName(trimmedText(typed)));
}

std::optional<Product> Till::takeLookup(const Statement &statement)
{
    // A lookup that fails or finds nothing leaves no code for the next line.
    m_lastFoundCode.clear();
    Query found(m_db);
    found.setStatement(statement);
    found.open();
    if (found.recordCount() <= 0)
        return std::nullopt;
    // Several matches: the first one, as the database gives it.
    Product product{found.text(kCode), found.text(kName), found.text(kPrice)};
    m_lastFoundCode = product.code;
    return product;
}

void Till::addLine(const QString &name, const QString &quantity, const QString &price)
{
    const QString code = m_lastFoundCode.isEmpty() ? QStringLiteral("-") : m_lastFoundCode;
    m_lines.append();
    try {
        m_lines.setText(kCode, code);
    } catch (...) {
        m_lines.cancel();
        throw;
    }
    fillAndPost(m_lines, ControlCharacters::removed(name), quantity, price);
    recomputeTotals();
}

bool Till::modifyCurrentLine(const QString &name, const QString &quantity, const QString &price)
{
    // With no line there is nothing to change; a new line is made only by add.
    if (m_lines.recordCount() <= 0)
        return false;
    m_lines.edit();
    fillAndPost(m_lines, ControlCharacters::removed(name), quantity, price);
    recomputeTotals();
    return true;
}

bool Till::deleteCurrentLine()
{
    if (m_lines.recordCount() <= 0)
        return false;
    m_lines.remove();
    recomputeTotals();
    return true;
}

SaleLine Till::currentLine() const
{
    return {m_lines.text(kCode), m_lines.text(kName), m_lines.text(kQuantity), m_lines.text(kPrice),
            m_lines.text(kAmount)};
}

void Till::sortLines(const QString &column, Qt::SortOrder order)
{
    m_lines.sort(column, order);
}

void Till::recomputeTotals()
{
    // Summed first line to last; the last line is current afterwards.
    double quantity = 0;
    double amount = 0;
    for (m_lines.first(); !m_lines.eof(); m_lines.next()) {
        quantity += m_lines.number(kQuantity);
        amount += m_lines.number(kAmount);
    }
    m_totalQuantity = formatGeneral(quantity);
    m_totalAmount = formatGeneral(amount);
}

QString Till::changeFor(const QString &received) const
{
    const long double given = textToNumber(received);
    const long double total = textToNumber(m_totalAmount);
    return formatGeneral(double(given - total));
}

bool Till::complete(const SaleHeader &header, ReceiptSink &printer, int copies)
{
    // One completion at a time: nothing that arrives while a receipt is being
    // printed may start a second one.
    if (m_completing)
        return false;
    m_completing = true;
    const auto done = qScopeGuard([this] { m_completing = false; });

    const ShopSettings settings = ShopSettings::load(m_db);
    const QString printTime = QTime::currentTime().toString(QStringLiteral("HH:mm"));

    // Recording, printing and emptying the open sale are one unit: the record
    // rows are committed only once every copy went to the printer and the
    // open sale is empty. On any error nothing of the sale is recorded and it
    // stays for another try.
    {
        Transaction transaction(m_db);
        recordSale(header, printTime);

        ReceiptInput input;
        input.shopName = settings.shopName;
        input.receiptNumber = header.receiptNumber;
        input.saleDate = header.saleDate;
        input.printTime = printTime;
        input.cashier = header.cashier;
        for (m_lines.first(); !m_lines.eof(); m_lines.next())
            input.saleLines << ReceiptSaleLine{m_lines.text(kName), m_lines.text(kQuantity), m_lines.text(kAmount)};
        input.totalQuantity = m_totalQuantity;
        input.totalAmount = m_totalAmount;
        input.received = header.received;
        input.change = header.change;
        input.remark = settings.remark;

        printer.print(ReceiptLayout::lines(input, ReceiptCopy::First));
        if (copies > 1)
            printer.print(ReceiptLayout::lines(input, ReceiptCopy::Second));
        m_db.execute(Statements::emptyOpenSale());
        transaction.commit();
    }

    reopenSale();
    m_totalQuantity = QStringLiteral("0");
    m_totalAmount = QStringLiteral("0");
    return true;
}

void Till::recordSale(const SaleHeader &header, const QString &printTime)
{
    // Each line as it stands in the open sale, in its present order, with the
    // sale's receipt number, cashier, date and time.
    for (m_lines.first(); !m_lines.eof(); m_lines.next()) {
        m_db.execute(Statements::recordSaleLine(m_lines.value(kCode), m_lines.value(kName),
                                                m_lines.value(kQuantity), m_lines.value(kPrice),
                                                m_lines.value(kAmount), header.receiptNumber, header.cashier,
                                                header.saleDate, printTime));
    }
}

QString Till::nextReceiptNumber()
{
    return m_receiptNumbers.next();
}

void Till::discardSale()
{
    // An unprinted sale is discarded.
    m_db.execute(Statements::emptyOpenSale());
    reopenSale();
}
