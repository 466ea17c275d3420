#include "till.h"

#include "db/apperror.h"
#include "db/database.h"
#include "db/decimalsum.h"
#include "db/numbertext.h"
#include "db/shopsettings.h"
#include "db/statements.h"
#include "db/tillsettings.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptsink.h"

#include <QScopeGuard>
#include <QTime>

#include <cmath>

namespace {

const QString kCode = QStringLiteral("编码");
const QString kName = QStringLiteral("品名");
const QString kQuantity = QStringLiteral("数量");
const QString kPrice = QStringLiteral("单价");
const QString kAmount = QStringLiteral("金额");

// Blanks and control characters around typed text are not part of a code or name.
QString trimmedText(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

// A number the program could not show, read back or print: refused as text
// that is no number would be.
void refuseUnlessFinite(double value, const QString &how)
{
    if (!std::isfinite(value))
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(how));
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
    recomputeTotals();
}

void Till::reloadSale()
{
    m_codeForName = {};
    reopenSale();
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
    const QString text = trimmedText(typed);
    // A product under the whole code comes first, scale code or not.
    if (std::optional<Product> found = takeLookup(Statements::lookupByCodeOrName(text)))
        return found;
    return lookUpScaleCode(text);
}

ScaleCodes Till::scaleCodes() const
{
    const ScaleCodes stored = ScaleCodes::load(TillSettings(m_db));
    if (!m_scaleCodeMode)
        return stored;
    return ScaleCodes(*m_scaleCodeMode, stored.firstPrefix(), stored.lastPrefix());
}

std::optional<Product> Till::lookUpScaleCode(const QString &code)
{
    // Only codes of thirteen digits can be scale codes: anything else costs no settings read.
    if (code.size() != 13)
        return std::nullopt;
    const ScaleCodes rules = scaleCodes();
    const std::optional<ScaleCodes::Reading> reading = rules.read(code);
    if (!reading)
        return std::nullopt;
    if (!reading->checkDigitValid)
        throw Refusal(QStringLiteral("提示：电子秤条码 %1 的校验位不对，请重新扫描!").arg(code));
    std::optional<Product> product = takeLookup(Statements::lookupByCode(reading->itemCode));
    if (!product) {
        throw Refusal(QStringLiteral("提示：电子秤条码 %1 的商品编码 %2 不在商品信息里，没有添加!")
                          .arg(code, reading->itemCode));
    }
    if (rules.mode() == ScaleCodes::Mode::Weight) {
        product->quantity = formatGeneral(reading->value / 1000.0);
    } else {
        product->quantity = QStringLiteral("1");
        product->price = formatGeneral(reading->value / 100.0);
    }
    return product;
}

std::optional<Product> Till::lookUpName(const QString &typed)
{
    return takeLookup(Statements::lookupByName(trimmedText(typed)));
}

std::optional<Product> Till::takeLookup(const Statement &statement)
{
    // A lookup that fails or finds nothing leaves no code for the next line.
    m_codeForName = {};
    Query found(m_db);
    found.setStatement(statement);
    found.open();
    if (found.recordCount() <= 0)
        return std::nullopt;
    // Several matches: the first one, as the database gives it.
    Product product{found.text(kCode), found.text(kName), found.text(kPrice)};
    m_codeForName = {product.name, product.code};
    return product;
}

void Till::addLine(const QString &name, const QString &quantity, const QString &price)
{
    // A barcode belongs to the goods it was found for: a name typed over the
    // found one is other goods, which have no known code.
    const bool known = !m_codeForName.code.isEmpty() && name == m_codeForName.name;
    m_lines.append();
    try {
        m_lines.setText(kCode, known ? m_codeForName.code : QStringLiteral("-"));
    } catch (...) {
        m_lines.cancel();
        throw;
    }
    fillAndPost(name, quantity, price);
    recomputeTotals();
}

bool Till::modifyCurrentLine(const QString &name, const QString &quantity, const QString &price)
{
    // With no line there is nothing to change; a new line is made only by add.
    if (m_lines.recordCount() <= 0)
        return false;
    m_lines.edit();
    fillAndPost(name, quantity, price);
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

SaleLine Till::pickCurrentLine()
{
    const SaleLine line = currentLine();
    m_codeForName = {line.name, line.code};
    return line;
}

// Sets name, quantity and price of the row being appended or edited, the
// amount from the stored numbers, and writes it; nothing stays half-written.
// An amount, or a total with it, that is no finite number is refused: it
// could not be shown, read back as the change or printed.
void Till::fillAndPost(const QString &name, const QString &quantity, const QString &price)
{
    try {
        m_lines.setText(kName, name);
        m_lines.setText(kQuantity, quantity);
        m_lines.setText(kPrice, price);
        const double quantityValue = m_lines.number(kQuantity);
        const double amount = quantityValue * m_lines.number(kPrice);
        refuseUnlessFinite(amount, QStringLiteral("%1*%2").arg(quantity, price));

        const int changing = m_lines.state() == Query::State::Edit ? m_lines.currentRow() : -1;
        DecimalSum quantities;
        DecimalSum amounts;
        for (int row = 0; row < m_lines.recordCount(); ++row) {
            if (row == changing)
                continue;
            quantities.add(m_lines.numberAt(row, kQuantity));
            amounts.add(m_lines.numberAt(row, kAmount));
        }
        const QString totalQuantity = quantities.text();
        const QString totalAmount = amounts.text();
        quantities.add(quantityValue);
        amounts.add(amount);
        refuseUnlessFinite(quantities.value(), QStringLiteral("%1+%2").arg(totalQuantity, quantity));
        refuseUnlessFinite(amounts.value(), QStringLiteral("%1+%2").arg(totalAmount, formatGeneral(amount)));

        m_lines.setNumber(kAmount, amount);
        m_lines.post();
    } catch (...) {
        m_lines.cancel();
        throw;
    }
}

void Till::sortLines(const QString &column, Qt::SortOrder order)
{
    m_lines.sort(column, order);
}

void Till::recomputeTotals()
{
    // Exact decimal sums of the numbers as shown, so that 0.1 + 0.2 is 0.3 and
    // no binary tail shows. Walked first line to last; the last line is
    // current afterwards.
    DecimalSum quantity;
    DecimalSum amount;
    for (m_lines.first(); !m_lines.eof(); m_lines.next()) {
        quantity.add(m_lines.number(kQuantity));
        amount.add(m_lines.number(kAmount));
    }
    m_totalQuantity = quantity.text();
    m_totalAmount = amount.text();
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

        printer.print(ReceiptLayout::lines(input, ReceiptCopy::First, printer.encoding()));
        if (copies > 1)
            printer.print(ReceiptLayout::lines(input, ReceiptCopy::Second, printer.encoding()));
        m_db.execute(Statements::emptyOpenSale());
        transaction.commit();
    }

    reopenSale();
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
