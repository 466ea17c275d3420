#include "till.h"

#include "till/recordedreceipt.h"

#include "base/apperror.h"
#include "base/controlcharacters.h"
#include "storage/database.h"
#include "base/decimalsum.h"
#include "base/numbertext.h"
#include "storage/shopsettings.h"
#include "storage/statements.h"
#include "storage/tillsettings.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptsink.h"

#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>

#include <cmath>

namespace {

const QString kCode = QStringLiteral("编码");
const QString kName = QStringLiteral("品名");
const QString kQuantity = QStringLiteral("数量");
const QString kPrice = QStringLiteral("单价");
const QString kAmount = QStringLiteral("金额");
const QString kTill = QStringLiteral("till");
const QString kReceiptNumber = QStringLiteral("单号");
const QString kCashier = QStringLiteral("收银员");
const QString kDate = QStringLiteral("日期");
const QString kTime = QStringLiteral("时间");

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
    m_lines.setStatement(Statements::openSale(m_db.till()));
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
    requireChangeableSale();
    // A barcode belongs to the goods it was found for: a name typed over the
    // found one is other goods, which have no known code.
    const bool known = !m_codeForName.code.isEmpty() && name == m_codeForName.name;
    m_lines.append();
    try {
        m_lines.setText(kCode, known ? m_codeForName.code : QStringLiteral("-"));
        m_lines.setValue(kTill, m_db.till());
    } catch (...) {
        m_lines.cancel();
        throw;
    }
    fillAndPost(ControlCharacters::removed(name), quantity, price);
    recomputeTotals();
}

bool Till::modifyCurrentLine(const QString &name, const QString &quantity, const QString &price)
{
    // With no line there is nothing to change; a new line is made only by add.
    if (m_lines.recordCount() <= 0)
        return false;
    requireChangeableSale();
    m_lines.edit();
    fillAndPost(ControlCharacters::removed(name), quantity, price);
    recomputeTotals();
    return true;
}

bool Till::deleteCurrentLine()
{
    if (m_lines.recordCount() <= 0)
        return false;
    requireChangeableSale();
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

    // The server went away while the last try was committing: first find
    // out whether that try recorded the sale.
    resolveUnknownRecording();
    // The receipt of this sale is out; only emptying the open sale failed.
    if (m_pending == Pending::Printed) {
        finalise();
        return true;
    }
    // A printer failed and the recording could not be taken back then.
    if (m_pending == Pending::Unprinted)
        undoRecording();

    const QString printTime = QTime::currentTime().toString(QStringLiteral("HH:mm"));
    ReceiptInput input = receiptInput(header, printTime);
    QList<QList<ReceiptLine>> jobs = ReceiptLayout::copies(input, copies, printer.encoding());

    const QString number = record(header, printTime, copies);
    try {
        // Another till took the number in the same second: the receipt shows the one recorded.
        if (number != input.receiptNumber) {
            input.receiptNumber = number;
            jobs = ReceiptLayout::copies(input, copies, printer.encoding());
        }
        for (const QList<ReceiptLine> &job : std::as_const(jobs))
            printer.print(job);
    } catch (const AppError &) {
        // No receipt, no record: the sale stays for another try. Should the
        // rows not go now, the next completion or closing takes them back.
        try {
            undoRecording();
        } catch (const AppError &) {
        }
        throw;
    }
    m_pending = Pending::Printed;
    m_lastReceiptNumber = number;
    try {
        finalise();
    } catch (const AppError &e) {
        throw DatabaseError(QStringLiteral("小票已打印，销售已记录，但未能清空本单：%1\n"
                                           "请再按 F12 完成本单（不会再打印小票）。")
                                .arg(e.message()));
    }
    return true;
}

ReceiptInput Till::receiptInput(const SaleHeader &header, const QString &printTime)
{
    const ShopSettings settings = ShopSettings::load(m_db);
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
    return input;
}

QString Till::record(const SaleHeader &header, const QString &printTime, int copies)
{
    // Each line as it stands in the open sale, in its present order, with the
    // sale's receipt number, cashier, date and time; and the mark that its
    // receipt is being printed, committed with them.
    Transaction transaction(m_db);
    const QString number = reserveReceiptNumber(header.receiptNumber);
    qint64 first = 1;   // an empty sale has no rows: the range is empty
    qint64 last = 0;
    bool any = false;
    for (m_lines.first(); !m_lines.eof(); m_lines.next()) {
        QSqlQuery row = m_db.run(Statements::recordSaleLine(m_lines.value(kCode), m_lines.value(kName),
                                                            m_lines.value(kQuantity), m_lines.value(kPrice),
                                                            m_lines.value(kAmount), number, header.cashier,
                                                            header.saleDate, printTime, m_db.till()));
        if (!row.next())
            m_db.fail(row.lastError());
        const qint64 key = row.value(0).toLongLong();
        first = any ? qMin(first, key) : key;
        last = any ? qMax(last, key) : key;
        any = true;
    }
    m_db.execute(Statements::markAwaitingPrint(m_db.till(), first, last, header.received, header.change, copies));
    m_firstRecord = first;
    m_lastRecord = last;
    m_recordedNumber = number;
    try {
        transaction.commit();
    } catch (const ConnectionLost &) {
        // The server went away while committing: whether the sale is recorded
        // is known only once it is back, by its receipt number.
        m_pending = Pending::Unknown;
        throw;
    }
    m_pending = Pending::Unprinted;
    return number;
}

QString Till::reserveReceiptNumber(const QString &proposed)
{
    // The number is the sale's only while this transaction holds it; a till
    // that took it first keeps it, and this sale takes the next free second.
    QString number = proposed;
    for (int tries = 0; tries < 3600; ++tries) {
        if (m_db.execute(Statements::reserveReceiptNumber(number, m_db.till())) == 1)
            return number;
        const QDateTime time = ReceiptNumbers::timeOf(number);
        if (!time.isValid())
            break;
        number = time.addSecs(1).toString(QStringLiteral("yyMMddHHmmss"));
    }
    throw Refusal(QStringLiteral("提示：单号 %1 已经用过了，请换一个单号!").arg(proposed));
}

void Till::resolveUnknownRecording()
{
    if (m_pending != Pending::Unknown)
        return;
    QSqlQuery holder = m_db.run(Statements::receiptNumberHolder(m_recordedNumber));
    const bool recorded = holder.next() && holder.value(0).toInt() == m_db.till();
    // Recorded, no receipt out: the next completion takes the recording back
    // and records the sale again, once. Not recorded: nothing to take back.
    m_pending = recorded ? Pending::Unprinted : Pending::None;
}

void Till::undoRecording()
{
    Transaction transaction(m_db);
    m_db.execute(Statements::removeRecordedSale(m_firstRecord, m_lastRecord, m_db.till()));
    m_db.execute(Statements::clearAwaitingPrint(m_db.till()));
    m_db.execute(Statements::releaseReceiptNumber(m_recordedNumber, m_db.till()));
    transaction.commit();
    m_pending = Pending::None;
}

void Till::finalise()
{
    {
        Transaction transaction(m_db);
        m_db.execute(Statements::emptyOpenSale(m_db.till()));
        m_db.execute(Statements::clearAwaitingPrint(m_db.till()));
        transaction.commit();
    }
    m_pending = Pending::None;
    reopenSale();   // empty now, with totals "0"
}

std::optional<Till::UnfinishedReceipt> Till::finishInterruptedSale()
{
    QSqlQuery mark = m_db.run(Statements::awaitingPrint(m_db.till()));
    if (!mark.next())
        return std::nullopt;
    m_firstRecord = mark.value(0).toLongLong();
    m_lastRecord = mark.value(1).toLongLong();
    const QString received = mark.value(2).toString();
    const QString change = mark.value(3).toString();
    const int copies = qBound(1, mark.value(4).toInt(), 2);
    mark = QSqlQuery();

    // Whether its receipt came out is not known: it is never printed again
    // unless the cashier asks.
    m_pending = Pending::Printed;

    UnfinishedReceipt receipt{RecordedReceipt::loadRows(m_db, m_firstRecord, m_lastRecord, m_db.till()), copies};
    receipt.input.received = received;
    receipt.input.change = change;

    finalise();
    if (receipt.input.saleLines.isEmpty())
        return std::nullopt;
    return receipt;
}

void Till::reprint(const UnfinishedReceipt &receipt, ReceiptSink &printer)
{
    for (const QList<ReceiptLine> &job : ReceiptLayout::copies(receipt.input, receipt.copies, printer.encoding()))
        printer.print(job);
}

QString Till::nextReceiptNumber()
{
    return m_receiptNumbers.next(QDateTime::currentDateTime(), m_db.isOpen() ? largestRecordedNumber() : QString());
}

QString Till::largestRecordedNumber()
{
    // Numbers typed by hand that name no time are passed over.
    QSqlQuery numbers = m_db.run(Statements::recordedReceiptNumbers());
    while (numbers.next()) {
        const QString number = numbers.value(0).toString();
        if (ReceiptNumbers::timeOf(number).isValid())
            return number;
    }
    return QString();
}

void Till::discardSale()
{
    // An unprinted sale is discarded, its recording with it; one whose
    // receipt is out stays recorded.
    resolveUnknownRecording();
    if (m_pending == Pending::Unprinted)
        undoRecording();
    if (m_pending == Pending::Printed) {
        finalise();
        return;
    }
    m_db.execute(Statements::emptyOpenSale(m_db.till()));
    reopenSale();
}

void Till::requireChangeableSale() const
{
    if (m_pending == Pending::Printed)
        throw Refusal(QStringLiteral("本单小票已打印，销售已记录，不能再修改：请按 F12 完成本单。"));
}
