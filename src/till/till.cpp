#include "till.h"

#include "till/discountrules.h"
#include "till/money.h"
#include "till/pinplaces.h"
#include "till/recordedreceipt.h"
#include "till/saleerrors.h"

#include "base/apperror.h"
#include "base/controlcharacters.h"
#include "base/decimalsum.h"
#include "base/linecodes.h"
#include "base/numbertext.h"
#include "base/pinyinkeys.h"
#include "storage/auditlog.h"
#include "storage/database.h"
#include "storage/paymentmethods.h"
#include "storage/schema.h"
#include "storage/query.h"
#include "storage/salessummary.h"
#include "storage/shopsettings.h"
#include "storage/statements.h"
#include "storage/tillsettings.h"
#include "receipt/receiptlayout.h"
#include "receipt/receiptsink.h"

#include <QHash>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

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

// Typed text as a number is stored: empty text leaves it empty.
std::optional<double> typedNumber(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    return textToNumber(text);
}

// A stored number: empty for NULL or empty text, which read as 0.
std::optional<double> storedNumber(const QVariant &value)
{
    if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isEmpty()))
        return std::nullopt;
    return Query::valueNumber(value);
}

QVariant numberValue(const std::optional<double> &number)
{
    return number ? QVariant(*number) : QVariant();
}

Statements::OpenSaleValues storedValues(const SaleLine &line)
{
    return {line.code, line.name, numberValue(line.quantity), numberValue(line.price), numberValue(line.amount)};
}

SaleLine lineFromRow(const QSqlQuery &row)
{
    using Column = Statements::OpenSaleColumn;
    auto at = [&row](Column column) { return row.value(int(column)); };
    SaleLine line;
    line.key = at(Column::Key).toLongLong();
    line.code = Query::valueText(at(Column::Code));
    line.name = Query::valueText(at(Column::Name));
    line.quantity = storedNumber(at(Column::Quantity));
    line.price = storedNumber(at(Column::Price));
    line.amount = storedNumber(at(Column::Amount));
    return line;
}

QList<SaleLine> without(const QList<SaleLine> &lines, int index)
{
    QList<SaleLine> rest = lines;
    if (index >= 0)
        rest.removeAt(index);
    return rest;
}

// How lines are ordered by one part: empty first, numbers by value, text by
// its characters (negative: a before b).
int compareText(const QString &a, const QString &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    return a.compare(b);
}

int compareNumbers(const std::optional<double> &a, const std::optional<double> &b)
{
    if (!a || !b)
        return bool(a) == bool(b) ? 0 : (!a ? -1 : 1);
    return *a < *b ? -1 : (*a > *b ? 1 : 0);
}

int compareLines(const SaleLine &a, const SaleLine &b, SaleLine::Field field)
{
    switch (field) {
    case SaleLine::Field::Code: return compareText(a.code, b.code);
    case SaleLine::Field::Name: return compareText(a.name, b.name);
    case SaleLine::Field::Quantity: return compareNumbers(a.quantity, b.quantity);
    case SaleLine::Field::Price: return compareNumbers(a.price, b.price);
    case SaleLine::Field::Amount: return compareNumbers(a.amount, b.amount);
    }
    return 0;
}

// A sale paid in cash alone prints as one paid at the change box; other
// payments print one line each, and the change.
// A line as the owner's trail shows it.
QString describedLine(const SaleLine &line)
{
    return QStringLiteral("%1 %2×%3=%4").arg(line.name, line.quantityText(), line.priceText(), line.amountText());
}

QString describedLines(const QList<SaleLine> &lines, QString *amount)
{
    QStringList described;
    DecimalSum sum;
    for (const SaleLine &line : lines) {
        described << describedLine(line);
        sum.add(line.amount.value_or(0));
    }
    if (amount)
        *amount = sum.text();
    return described.join(QStringLiteral("；"));
}

const QString kNotRead = QStringLiteral("Operation is not allowed when the object is closed");

} // namespace

Till::Till(Database &db)
    : m_db(db)
{
    connect(&m_db, &Database::switched, this, &Till::carryOpenSale);
}

void Till::carryOpenSale()
{
    // The open sale lives here: it goes with the connection to the till's
    // own copy and back, under the keys it gets there.
    if (!m_saleRead)
        return;
    try {
        m_db.execute(Statements::emptyOpenSale(m_db.till()));
        for (SaleLine &line : m_lines) {
            QSqlQuery row = m_db.run(Statements::addOpenSaleLine(m_db.till(), storedValues(line)));
            if (!row.next())
                m_db.fail(row.lastError());
            line.key = row.value(0).toLongLong();
        }
    } catch (const AppError &) {
        // Gone again meanwhile: the next switch carries them.
    }
}

void Till::reopenSale()
{
    QList<SaleLine> lines;
    try {
        QSqlQuery rows = m_db.run(Statements::openSale(m_db.till()));
        while (rows.next())
            lines << lineFromRow(rows);
        if (rows.lastError().isValid())
            m_db.fail(rows.lastError());
    } catch (...) {
        replaceLines({}, false);
        throw;
    }
    replaceLines(std::move(lines), true);
    setTotals(SaleTotals::of(m_lines));
    try {
        m_lineLimits = LineLimits::load(TillSettings(m_db));
    } catch (const Refusal &) {
        m_lineLimits = LineLimits();   // a stored limit that is no number: the defaults ask as well
    }
}

void Till::reloadSale()
{
    m_codeForName = {};
    reopenSale();
}

void Till::replaceLines(QList<SaleLine> lines, bool read)
{
    emit linesAboutToBeReset();
    m_lines = std::move(lines);
    m_saleRead = read;
    emit linesReset();
}

void Till::setTotals(const SaleTotals &totals)
{
    m_totals = totals;
    m_totalQuantity = totals.quantity().text();
    m_totalAmount = totals.amount().text();
}

void Till::requireSaleRead() const
{
    if (!m_saleRead)
        throw DatabaseError(kNotRead);
}

std::optional<Product> Till::lookUp(const QString &typed)
{
    const QString text = trimmedText(typed);
    // A product under the whole code comes first, scale code or not.
    if (std::optional<Product> found = takeLookup(Statements::lookupByCodeOrName(text)))
        return found;
    if (std::optional<Product> scaled = lookUpScaleCode(text))
        return scaled;
    // Letters typed for a product without its name: its pinyin (kkkl).
    const QString spelling = PinyinKeys::typed(text);
    if (std::any_of(spelling.cbegin(), spelling.cend(), [](QChar c) { return c.isLetter(); }))
        return takeLookup(Statements::lookupByPinyin(spelling + QLatin1Char('%'), 1));
    return std::nullopt;
}

QList<Product> Till::findByPinyin(const QString &typed, int most)
{
    const QString spelling = PinyinKeys::typed(trimmedText(typed));
    if (spelling.isEmpty())
        return {};
    using Column = Statements::ProductColumn;
    QSqlQuery rows = m_db.run(Statements::lookupByPinyin(spelling + QLatin1Char('%'), most));
    QList<Product> found;
    while (rows.next())
        found.append({Query::valueText(rows.value(int(Column::Code))), Query::valueText(rows.value(int(Column::Name))),
                      Query::valueText(rows.value(int(Column::Price)))});
    if (rows.lastError().isValid())
        m_db.fail(rows.lastError());
    return found;
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
    QSqlQuery found = m_db.run(statement);
    if (!found.next()) {
        if (found.lastError().isValid())
            m_db.fail(found.lastError());
        return std::nullopt;
    }
    // Several matches: the first one, as the database gives it.
    using Column = Statements::ProductColumn;
    Product product{Query::valueText(found.value(int(Column::Code))), Query::valueText(found.value(int(Column::Name))),
                    Query::valueText(found.value(int(Column::Price)))};
    m_codeForName = {product.name, product.code};
    return product;
}

void Till::addLine(const QString &name, const QString &quantity, const QString &price)
{
    requireChangeableSale();
    requireSaleRead();
    // A barcode belongs to the goods it was found for: a name typed over the
    // found one is other goods, which have no known code.
    const bool known = !m_codeForName.code.isEmpty() && name == m_codeForName.name;
    SaleLine line;
    line.code = known ? m_codeForName.code : QStringLiteral("-");
    line.name = ControlCharacters::removed(name);
    const SaleTotals totals = fillNumbers(line, quantity, price, -1);
    {
        QSqlQuery row = m_db.run(Statements::addOpenSaleLine(m_db.till(), storedValues(line)));
        if (!row.next())
            m_db.fail(row.lastError());
        line.key = row.value(0).toLongLong();
    }
    const int index = int(m_lines.size());
    emit lineAboutToBeAdded(index);
    m_lines << line;
    setTotals(totals);
    emit lineAdded(index);
}

bool Till::modifyLine(int index, const QString &name, const QString &quantity, const QString &price)
{
    // With no line there is nothing to change; a new line is made only by add.
    requireSaleRead();
    if (index < 0 || index >= m_lines.size())
        return false;
    requireChangeableSale();
    const SaleLine &was = m_lines.at(index);
    SaleLine line = was;
    line.name = ControlCharacters::removed(name);
    SaleTotals totals = fillNumbers(line, quantity, price, index);
    {
        // Only the line as it was read is changed: one till never silently
        // undoes another's change.
        QSqlQuery row =
            m_db.run(Statements::changeOpenSaleLine(was.key, m_db.till(), storedValues(was), storedValues(line)));
        if (!row.next()) {
            if (row.lastError().isValid())
                m_db.fail(row.lastError());
            throw RowChangedElsewhere(
                QStringLiteral("这一行刚被另一台收银机改过或删除了，没有保存。请重新打开后再改。"));
        }
    }
    if (was.price != line.price)
        AuditLog::write(m_db, {AuditLog::Kind::PriceChanged, m_cashier, {},
                               describedLine(was) + QStringLiteral(" → ") + describedLine(line), line.amountText()});
    m_lines[index] = line;
    setTotals(totals.isExact() ? totals : SaleTotals::of(m_lines));
    emit lineChanged(index);
    return true;
}

bool Till::deleteLine(int index)
{
    requireSaleRead();
    if (index < 0 || index >= m_lines.size())
        return false;
    requireChangeableSale();
    SaleTotals rest = m_totals;
    rest.remove(m_lines.at(index));
    if (!rest.isExact())
        rest = SaleTotals::of(without(m_lines, index));
    {
        // The line goes and its trace stays, together.
        Transaction transaction(m_db, Transaction::Start::Writing);
        m_db.execute(Statements::removeOpenSaleLine(m_lines.at(index).key));
        AuditLog::write(m_db, {AuditLog::Kind::LineDeleted, m_cashier, {}, describedLine(m_lines.at(index)),
                               m_lines.at(index).amountText()});
        transaction.commit();
    }
    emit lineAboutToBeRemoved(index);
    m_lines.removeAt(index);
    setTotals(rest);
    emit lineRemoved(index);
    return true;
}

SaleLine Till::pickLine(int index)
{
    requireSaleRead();
    const SaleLine line = m_lines.value(index);
    m_codeForName = {line.name, line.code};
    return line;
}

// Fills in the line's quantity and price as typed and its amount from them,
// and gives the totals with the line in place of the one at replacing (-1:
// after the lines). An amount, or a total with it, that is no finite number
// is refused: it could not be shown, read back as the change or printed.
// The totals are those of one pass over the lines in their order, as the
// exact running sums give them; only when those cannot say (values too
// large, fine or not finite) is the pass made.
SaleTotals Till::fillNumbers(SaleLine &line, const QString &quantity, const QString &price, int replacing) const
{
    line.quantity = typedNumber(quantity);
    line.price = typedNumber(price);
    const double amount = line.quantity.value_or(0) * line.price.value_or(0);
    refuseUnlessFinite(amount, QStringLiteral("%1*%2").arg(quantity, price));
    line.amount = amount;

    SaleTotals others = m_totals;
    if (replacing >= 0)
        others.remove(m_lines.at(replacing));
    if (!others.isExact())
        others = SaleTotals::of(without(m_lines, replacing));
    SaleTotals with = others;
    with.add(line);
    if (!with.isExact())
        with = SaleTotals::of(without(m_lines, replacing) << line);
    refuseUnlessFinite(with.quantity().value(), QStringLiteral("%1+%2").arg(others.quantity().text(), quantity));
    refuseUnlessFinite(with.amount().value(),
                       QStringLiteral("%1+%2").arg(others.amount().text(), formatGeneral(amount)));
    return with;
}

void Till::sortLines(SaleLine::Field field, Qt::SortOrder order)
{
    requireSaleRead();
    QList<int> from(m_lines.size());
    std::iota(from.begin(), from.end(), 0);
    std::stable_sort(from.begin(), from.end(), [&](int a, int b) {
        const int c = compareLines(m_lines.at(a), m_lines.at(b), field);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    QList<SaleLine> sorted;
    sorted.reserve(m_lines.size());
    for (int i : std::as_const(from))
        sorted << m_lines.at(i);
    emit linesAboutToBeSorted();
    m_lines = std::move(sorted);
    emit linesSorted(from);
}

QString Till::changeFor(const QString &received) const
{
    const long double given = textToNumber(received);
    const long double total = textToNumber(m_totalAmount);
    return formatGeneral(double(given - total));
}

bool Till::complete(const SaleHeader &typedHeader, ReceiptSink &printer, int copies)
{
    // One completion at a time: nothing that arrives while a receipt is being
    // printed may start a second one.
    if (m_completing)
        return false;
    m_completing = true;
    const auto done = qScopeGuard([this] { m_completing = false; });
    // The server coming back does not take the connection while the receipt prints.
    const Database::Hold hold(m_db);

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

    // A change worked out before the lines last changed is never printed:
    // the receipt's change is always the amount received less its total.
    SaleHeader header = typedHeader;
    if (!header.change.isEmpty())
        header.change = changeFor(header.received);

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
        throw SaleNotEmptied(QStringLiteral("小票已打印，销售已记录，但未能清空本单：%1").arg(e.message()));
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
    for (const SaleLine &line : std::as_const(m_lines))
        input.saleLines << ReceiptSaleLine{line.name, line.quantityText(), line.amountText()};
    input.totalQuantity = m_totalQuantity;
    input.totalAmount = m_totalAmount;
    input.received = header.received;
    input.change = header.change;
    RecordedReceipt::showPayments(input, header.payments);
    input.remark = settings.remark;
    return input;
}

QString Till::record(const SaleHeader &header, const QString &printTime, int copies)
{
    // Each line as it stands in the open sale, in its present order, with the
    // sale's receipt number, cashier, date and time; and the mark that its
    // receipt is being printed, committed with them. The write lock is taken
    // first: a transaction that reads first cannot wait for another writer
    // (an import) and would fail at once.
    Transaction transaction(m_db, Transaction::Start::Writing);
    const bool offline = m_db.isOffline();
    const QString number = offline ? reserveOfflineNumber(header.receiptNumber)
                                   : reserveReceiptNumber(header.receiptNumber);
    qint64 first = 1;   // an empty sale has no rows: the range is empty
    qint64 last = 0;
    bool any = false;
    SalesSummary summary;
    QList<SaleStock::Line> stock;
    for (const SaleLine &line : std::as_const(m_lines)) {
        const Statements::OpenSaleValues values = storedValues(line);
        stock << SaleStock::Line{values.code, values.quantity};
        QSqlQuery row =
            m_db.run(Statements::recordSaleLine(values.code, values.name, values.quantity, values.price, values.amount,
                                                number, header.cashier, header.saleDate, printTime, m_db.till()));
        if (!row.next())
            m_db.fail(row.lastError());
        const qint64 key = row.value(0).toLongLong();
        first = any ? qMin(first, key) : key;
        last = any ? qMax(last, key) : key;
        any = true;
        summary.add({key, number, header.cashier, header.saleDate, printTime, line.code, line.name, m_db.till(),
                     line.quantity.value_or(0), line.amount.value_or(0)});
    }
    // Cash without an amount received: the receipt shows no payment, nor will its reprint.
    const bool shown = !header.payments.isEmpty() || !header.change.isEmpty();
    for (const Payment &payment : paymentsOf(header)) {
        m_db.execute(
            Statements::recordPayment(number, m_db.till(), payment.method, payment.amount, payment.change, shown));
        summary.addPayment(header.saleDate, m_db.till(), payment.method, payment.amount, payment.change);
    }
    // The day's summary takes the sale with it, all or nothing; so does the stock.
    summary.addToStored([this](const Statement &statement) { return m_db.run(statement); });
    const QString movedAt = SaleStock::movedAt(header.saleDate, printTime);
    SaleStock::record(m_db, StockKind::Sale, number, m_db.till(), header.cashier, movedAt, stock);
    m_db.execute(Statements::markAwaitingPrint(m_db.till(), first, last, header.received, header.change, copies));
    // Made without the server: it waits in the outbox, committed with its record.
    if (offline)
        m_db.execute(Statements::queueSale(number, QDateTime::currentDateTime().toString(
                                                       QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    m_firstRecord = first;
    m_lastRecord = last;
    m_recordedNumber = number;
    m_recordedDate = header.saleDate;
    m_recordedStock = stock;
    m_recordedCashier = header.cashier;
    m_recordedAt = movedAt;
    try {
        transaction.commit();
    } catch (const ConnectionLost &) {
        // The server went away while committing: whether the sale is recorded
        // is known only once it is back, by its receipt number.
        m_pending = Pending::Unknown;
        throw;
    }
    m_pending = Pending::Unprinted;
    if (number == m_unsettledNumber)
        m_unsettledNumber.clear();
    return number;
}

QString Till::reserveOfflineNumber(const QString &proposed)
{
    if (!m_unsettledNumber.isEmpty()) {
        m_db.execute(Statements::reserveReceiptNumber(m_unsettledNumber, m_db.till()));
        return m_unsettledNumber;
    }
    QDateTime time = ReceiptNumbers::timeOfEither(proposed);
    if (!time.isValid())
        time = QDateTime::currentDateTime();
    for (;;) {
        const QString number = ReceiptNumbers::ofTill(time, m_db.till());
        if (m_db.execute(Statements::reserveReceiptNumber(number, m_db.till())) == 1)
            return number;
        time = time.addSecs(1);
    }
}

QString Till::reserveReceiptNumber(const QString &proposed)
{
    // The number is the sale's only while this transaction holds it; a till
    // that took it first keeps it, and this sale takes the next free one.
    const QString form = QStringLiteral("yyMMddHHmmss");
    QDateTime time = ReceiptNumbers::timeOf(proposed);
    if (!time.isValid()) {
        // Typed by hand, naming no time: there is no next one to take.
        if (m_db.execute(Statements::reserveReceiptNumber(proposed, m_db.till())) == 1)
            return proposed;
        throw Refusal(QStringLiteral("提示：单号 %1 已经用过了，请换一个单号!").arg(proposed));
    }
    for (;;) {
        const QString number = time.toString(form);
        QSqlQuery taken = m_db.run(
            Statements::reserveFreeReceiptNumber(number, number.left(6) + QStringLiteral("235959"), m_db.till()));
        if (taken.next())
            return taken.value(0).toString();
        // Another till took the same number at that moment, or a number not
        // of the form stands in the way: the next second, as it is.
        time = time.addSecs(1);
        const QString next = time.toString(form);
        if (m_db.execute(Statements::reserveReceiptNumber(next, m_db.till())) == 1)
            return next;
    }
}

QList<Payment> Till::paymentsOf(const SaleHeader &header) const
{
    if (m_lines.isEmpty())
        return {};
    if (!header.payments.isEmpty())
        return header.payments;
    // Paid in cash at the change box: what was received and the change, as
    // the receipt shows them; their difference is the total even when the
    // cashier took less (a negative change).
    if (header.change.isEmpty())
        return {Payment{Schema::kCashMethod, QStringLiteral("现金"), m_totalAmount}};
    return {Payment{Schema::kCashMethod, QStringLiteral("现金"), formatGeneral(textToNumber(header.received)),
                    header.change}};
}

void Till::discountLine(int index, DiscountKind kind, const QString &value, const QString &ownerPin)
{
    requireSaleRead();
    if (index < 0 || index >= m_lines.size())
        throw Refusal(QStringLiteral("请先选中要打折的商品行。"));
    const SaleLine &line = m_lines.at(index);
    if (line.code == LineCodes::discount || line.code == LineCodes::roundOff)
        throw Refusal(QStringLiteral("折扣和抹零行不能再打折。"));
    addDiscount(Money::fenOf(line.amountText()).value_or(0), kind, value, ownerPin,
                QStringLiteral("折扣 ") + line.name);
}

void Till::discountSale(DiscountKind kind, const QString &value, const QString &ownerPin)
{
    requireSaleRead();
    addDiscount(Money::fenOf(m_totalAmount).value_or(0), kind, value, ownerPin, QStringLiteral("整单折扣"));
}

void Till::addDiscount(qint64 base, DiscountKind kind, const QString &value, const QString &ownerPin,
                       const QString &name)
{
    const std::optional<qint64> typed = Money::fenOf(value);
    double percent = 0;
    qint64 fen = 0;
    if (kind == DiscountKind::Percent) {
        if (!tryTextToNumber(value, &percent) || percent <= 0 || percent > 100)
            throw Refusal(QStringLiteral("折扣“%1”不对：请输入 0 到 100 之间的百分数。").arg(value));
        // Percent of whole fen, to the fen, half up: exact for the percents a shop types.
        fen = Money::fenOf(formatGeneral(double(base) * percent / 100.0 / 100.0)).value_or(0);
    } else {
        if (!typed || *typed <= 0)
            throw Refusal(QStringLiteral("折扣金额“%1”不对：请输入大于零的金额。").arg(value));
        fen = *typed;
    }
    if (fen <= 0 || fen > base)
        throw Refusal(QStringLiteral("折扣 %1 元不能超过打折的金额 %2 元。").arg(Money::text(fen), Money::text(base)));
    const DiscountRules rules = DiscountRules::load(TillSettings(m_db, 0));
    if (rules.hasPin() && fen * 100 > base * rules.limitPercent()
        && PinPlaces::load(TillSettings(m_db, 0)).asks(PinPlaces::Place::DiscountOverLimit)) {
        if (ownerPin.isEmpty())
            throw OwnerPinNeeded(QStringLiteral("折扣超过 %1%，需要店主密码。").arg(rules.limitPercent()));
        if (!rules.pinMatches(ownerPin))
            throw OwnerPinNeeded(QStringLiteral("店主密码不对，没有打折。"));
    }
    m_codeForName = {name, LineCodes::discount};
    addLine(name, QStringLiteral("1"), Money::text(-fen));
    AuditLog::write(m_db, {AuditLog::Kind::Discount, m_cashier, {}, describedLine(m_lines.last()), Money::text(fen)});
}

void Till::roundOff()
{
    requireSaleRead();
    const DiscountRules rules = DiscountRules::load(TillSettings(m_db, 0));
    const qint64 step = rules.roundOff() == DiscountRules::RoundOff::ToJiao ? 10
        : rules.roundOff() == DiscountRules::RoundOff::ToYuan             ? 100
                                                                          : 0;
    const qint64 total = Money::fenOf(m_totalAmount).value_or(0);
    if (step == 0 || total <= 0 || total % step == 0)
        return;
    m_codeForName = {QStringLiteral("抹零"), LineCodes::roundOff};
    addLine(QStringLiteral("抹零"), QStringLiteral("1"), Money::text(-(total % step)));
}

void Till::setOpeningCash(const QString &amount)
{
    const std::optional<qint64> fen = Money::fenOf(amount);
    if (!fen || *fen < 0)
        throw Refusal(QStringLiteral("备用金“%1”不对：请输入零或更多的金额。").arg(amount));
    // A code scanned into the box reads as a number, too.
    if (*fen >= 100'000'000)
        throw Refusal(QStringLiteral("备用金“%1”太大：钱箱里不会有一百万元以上的现金（是不是扫了条码？）。").arg(amount));
    Transaction transaction(m_db, Transaction::Start::Writing);
    m_db.execute(Statements::forgetOpenCashFloat(m_db.till()));
    m_db.execute(Statements::recordCashFloat(
        m_db.till(), QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), Money::text(*fen)));
    transaction.commit();
}

std::optional<QString> Till::openingCash()
{
    QSqlQuery amount = m_db.run(Statements::openCashFloat(m_db.till()));
    if (!amount.next())
        return std::nullopt;
    return amount.value(0).toString();
}

namespace {
const QString kOpeningCashAsked = QStringLiteral("opening_cash_asked");
}

bool Till::wantsOpeningCash(const QDate &today)
{
    if (openingCash())
        return false;
    return TillSettings(m_db).value(kOpeningCashAsked) != today.toString(Qt::ISODate);
}

void Till::openingCashAsked(Database &db, const QDate &day)
{
    TillSettings(db).store({{kOpeningCashAsked, day.toString(Qt::ISODate)}});
}

void Till::resolveUnknownRecording()
{
    if (m_pending != Pending::Unknown)
        return;
    if (m_db.isOffline()) {
        // Only the server can tell: the sale is made again on the copy under
        // the same number, and the outbox does not send what the server has.
        m_unsettledNumber = m_recordedNumber;
        m_pending = Pending::None;
        return;
    }
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
    m_db.execute(Statements::removePayments(m_recordedNumber, m_db.till()));
    SalesSummary::redoDay([this](const Statement &statement) { return m_db.run(statement); }, m_recordedDate,
                          m_db.till());
    m_db.execute(Statements::clearAwaitingPrint(m_db.till()));
    m_db.execute(Statements::releaseReceiptNumber(m_recordedNumber, m_db.till()));
    if (m_db.isOffline())
        m_db.execute(Statements::unqueueSale(m_recordedNumber));
    // The ledger keeps the sale's movements: the goods come back by movements of their own.
    SaleStock::record(m_db, StockKind::Void, m_recordedNumber, m_db.till(), m_recordedCashier, m_recordedAt,
                      m_recordedStock);
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
    // Finished only once the empty sale is read again: until then the next
    // F12 only finishes it, and never records or prints an empty sale.
    reopenSale();   // empty now, with totals "0"
    m_pending = Pending::None;
    m_takenBack = false;
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
    // Paid at the payment window: its payments as the receipt showed them.
    if (received.isEmpty() && change.isEmpty())
        RecordedReceipt::showPayments(receipt.input,
                                      RecordedReceipt::shownPayments(m_db, receipt.input.receiptNumber, m_db.till()));

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
    const QString number =
        m_receiptNumbers.next(QDateTime::currentDateTime(), m_db.isOpen() ? largestRecordedNumber() : QString());
    return m_db.isOffline() ? ReceiptNumbers::ofTill(ReceiptNumbers::timeOf(number), m_db.till()) : number;
}

QString Till::largestRecordedNumber()
{
    // Numbers typed by hand that name no time are passed over.
    QString below;
    for (;;) {
        QSqlQuery numbers = m_db.run(Statements::largestReceiptNumber(below));
        if (!numbers.next())
            return QString();
        const QString number = numbers.value(0).toString();
        if (ReceiptNumbers::timeOf(number).isValid())
            return number;
        below = number;
    }
}

void Till::holdSale()
{
    requireSaleRead();
    if (m_completing || m_pending != Pending::None)
        throw Refusal(QStringLiteral("提示：本单正在结账，不能挂单!"));
    if (m_lines.isEmpty())
        throw Refusal(QStringLiteral("提示：本单还没有商品，不用挂单!"));
    {
        Transaction transaction(m_db, Transaction::Start::Writing);
        QSqlQuery held = m_db.run(
            Statements::holdSale(m_db.till(), QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        if (!held.next())
            m_db.fail(held.lastError());
        const qint64 number = held.value(0).toLongLong();
        held.finish();
        m_db.execute(Statements::holdOpenSaleLines(number, m_db.till()));
        m_db.execute(Statements::emptyOpenSale(m_db.till()));
        transaction.commit();
    }
    m_takenBack = false;
    m_codeForName = {};
    reopenSale();
}

QList<HeldSale> Till::heldSales()
{
    using Column = Statements::HeldSaleColumn;
    QList<HeldSale> sales;
    QList<DecimalSum> totals;
    QSqlQuery rows = m_db.run(Statements::heldSales(m_db.till()));
    while (rows.next()) {
        const qint64 number = rows.value(int(Column::Key)).toLongLong();
        if (sales.isEmpty() || sales.last().number != number) {
            sales.append({number, Query::valueText(rows.value(int(Column::HeldAt))), 0, {}});
            totals.append(DecimalSum());
        }
        // A sale without lines has one row without a line.
        if (rows.value(int(Column::Line)).isNull())
            continue;
        ++sales.last().lines;
        if (const std::optional<double> value = storedNumber(rows.value(int(Column::Amount))))
            totals.last().add(*value);
    }
    if (rows.lastError().isValid())
        m_db.fail(rows.lastError());
    for (qsizetype i = 0; i < sales.size(); ++i)
        sales[i].total = totals.at(i).text();
    return sales;
}

int Till::heldSaleCount()
{
    QSqlQuery count = m_db.run(Statements::heldSaleCount(m_db.till()));
    if (!count.next())
        m_db.fail(count.lastError());
    return count.value(0).toInt();
}

void Till::takeBack(qint64 number)
{
    requireSaleRead();
    if (!m_lines.isEmpty() || m_pending != Pending::None)
        throw Refusal(QStringLiteral("提示：本单还有商品，请先挂单或结账，再取单!"));
    {
        Transaction transaction(m_db, Transaction::Start::Writing);
        m_db.execute(Statements::takeBackHeldLines(number, m_db.till()));
        m_db.execute(Statements::forgetHeldLines(number));
        if (m_db.execute(Statements::forgetHeldSale(number, m_db.till())) == 0)
            throw Refusal(QStringLiteral("提示：这张挂单已经取走了!"));
        transaction.commit();
    }
    m_codeForName = {};
    reopenSale();
    m_takenBack = true;
}

QList<SoldLine> Till::soldLines(const QString &receiptNumber)
{
    using Column = Statements::SoldLineColumn;
    const QString number = trimmedText(receiptNumber);
    QSqlQuery q = m_db.run(Statements::soldLines(number));
    QList<SoldLine> lines;
    while (q.next()) {
        auto at = [&q](Column column) { return q.value(int(column)); };
        SoldLine line;
        line.key = at(Column::Key).toLongLong();
        line.code = Query::valueText(at(Column::Code));
        line.name = Query::valueText(at(Column::Name));
        line.quantity = storedNumber(at(Column::Quantity)).value_or(0);
        line.price = storedNumber(at(Column::Price)).value_or(0);
        line.amount = storedNumber(at(Column::Amount)).value_or(0);
        line.till = at(Column::Till).toInt();
        line.returned = storedNumber(at(Column::Returned)).value_or(0);
        lines << line;
    }
    if (lines.isEmpty())
        throw Refusal(QStringLiteral("没有找到单号为 %1 的销售小票。").arg(number));
    return lines;
}

namespace {

// A quantity typed as 0.3 and summed from stored numbers is compared with
// room for the last binary digit.
constexpr double kQuantitySlack = 1e-9;

// What goes back of one sold line, to the fen: all of its amount for all of
// its quantity, else the quantity's share of it.
qint64 refundFen(const SoldLine &sold, double quantity)
{
    const double amount = std::abs(sold.quantity - quantity) < kQuantitySlack
        ? sold.amount
        : sold.amount * quantity / sold.quantity;
    return Money::fenOf(formatGeneral(amount)).value_or(0);
}

} // namespace

QString Till::completeReturn(const SaleReturn &request, ReceiptSink &printer)
{
    // The sale returned against may be on the server alone.
    if (m_db.isOffline())
        throw Refusal(QStringLiteral("提示：收银机正在离线收银，连上数据库服务器以后才能退货。"));
    const bool withoutReceipt = request.soldReceipt.isEmpty();
    if (request.lines.isEmpty())
        throw Refusal(QStringLiteral("请先选择要退的商品和数量。"));
    for (const ReturnLine &line : request.lines)
        if (!(line.quantity > 0) || !std::isfinite(line.quantity))
            throw Refusal(QStringLiteral("“%1”的退货数量不对：请输入大于零的数量。").arg(line.name));
    if (withoutReceipt && PinPlaces::load(TillSettings(m_db, 0)).asks(PinPlaces::Place::ReturnWithoutReceipt)) {
        const DiscountRules rules = DiscountRules::load(TillSettings(m_db, 0));
        if (!rules.hasPin())
            throw OwnerPinNeeded(QStringLiteral("无小票退货需要店主密码，请先在店铺设置里设置店主密码。"));
        if (request.ownerPin.isEmpty())
            throw OwnerPinNeeded(QStringLiteral("无小票退货需要店主密码。"));
        if (!rules.pinMatches(request.ownerPin))
            throw OwnerPinNeeded(QStringLiteral("店主密码不对，没有退货。"));
    }
    const QString printTime = QTime::currentTime().toString(QStringLiteral("HH:mm"));
    const QList<PaymentMethod> methods = PaymentMethods::load(m_db);

    Transaction transaction(m_db, Transaction::Start::Writing);
    // What is left to return is read under the transaction: another till's
    // return of the same receipt waits for this one, or this one for it.
    QHash<qint64, SoldLine> sold;
    int soldTill = m_db.till();
    if (!withoutReceipt) {
        m_db.execute(Statements::holdSoldLines(request.soldReceipt));
        for (const SoldLine &line : soldLines(request.soldReceipt)) {
            sold.insert(line.key, line);
            soldTill = line.till;
        }
        QHash<qint64, double> asked;
        for (const ReturnLine &line : request.lines) {
            const auto it = sold.constFind(line.soldLine);
            if (it == sold.constEnd())
                throw Refusal(QStringLiteral("“%1”不是单号 %2 上的商品。").arg(line.name, request.soldReceipt));
            asked[line.soldLine] += line.quantity;
            if (asked[line.soldLine] > it->returnable() + kQuantitySlack)
                throw Refusal(QStringLiteral("“%1”最多还能退 %2（卖出 %3，已退 %4），没有退货。")
                                  .arg(it->name, formatGeneral(qMax(0.0, it->returnable())),
                                       formatGeneral(it->quantity), formatGeneral(it->returned)));
        }
    }

    const QString number = reserveReceiptNumber(request.receiptNumber);
    SalesSummary summary;
    QList<SaleStock::Line> stock;
    ReceiptInput input;
    input.shopName = ShopSettings::load(m_db).shopName;
    input.receiptNumber = number;
    input.saleDate = request.saleDate;
    input.printTime = printTime;
    input.cashier = request.cashier;
    DecimalSum quantities;
    qint64 refund = 0;
    QStringList described;
    for (const ReturnLine &line : request.lines) {
        const qint64 fen = withoutReceipt
            ? Money::fenOf(formatGeneral(line.quantity * line.price)).value_or(0)
            : refundFen(sold.value(line.soldLine), line.quantity);
        const double price = withoutReceipt ? line.price : sold.value(line.soldLine).price;
        const QString code = withoutReceipt ? line.code : sold.value(line.soldLine).code;
        const QString name = withoutReceipt ? line.name : sold.value(line.soldLine).name;
        const double quantity = -line.quantity;
        const double amount = double(-fen) / 100.0;
        QSqlQuery row = m_db.run(Statements::recordSaleLine(code.isEmpty() ? QStringLiteral("-") : code, name,
                                                            quantity, price, amount, number, request.cashier,
                                                            request.saleDate, printTime, m_db.till()));
        if (!row.next())
            m_db.fail(row.lastError());
        const qint64 key = row.value(0).toLongLong();
        row = QSqlQuery();
        m_db.execute(Statements::recordReturnedLine(
            key, withoutReceipt ? QVariant(QMetaType(QMetaType::LongLong)) : QVariant(line.soldLine),
            withoutReceipt ? QVariant(QMetaType(QMetaType::QString)) : QVariant(request.soldReceipt), m_db.till(),
            withoutReceipt));
        summary.add({key, number, request.cashier, request.saleDate, printTime, code, name, m_db.till(), quantity,
                     amount});
        stock << SaleStock::Line{code, quantity};
        input.saleLines << ReceiptSaleLine{name, formatGeneral(quantity), Money::text(-fen)};
        quantities.add(quantity);
        refund += fen;
        described << QStringLiteral("%1 %2×%3=%4").arg(name, formatGeneral(quantity), formatGeneral(price),
                                                      Money::text(-fen));
    }
    // The same path as a sale's: a report from the summary equals one from the lines.
    summary.addToStored([this](const Statement &statement) { return m_db.run(statement); });
    SaleStock::record(m_db, StockKind::Return, number, m_db.till(), request.cashier,
                      SaleStock::movedAt(request.saleDate, printTime), stock);

    // The money goes back the way it came, each method up to what it took;
    // the rest (and all of it when asked, or without a receipt) in cash.
    QList<Payment> refunds;
    qint64 left = refund;
    if (!withoutReceipt && !request.refundInCash) {
        // What earlier returns of the receipt gave back by each method is no
        // longer there to give.
        QHash<int, qint64> givenBack;
        QSqlQuery earlier = m_db.run(Statements::refundsOf(request.soldReceipt));
        while (earlier.next())
            givenBack[earlier.value(0).toInt()] -= Money::fenOf(earlier.value(1).toString()).value_or(0);
        earlier = QSqlQuery();
        // Each method's takings on the sale, in the order paid.
        using Column = Statements::PaymentColumn;
        QList<int> order;
        QHash<int, qint64> net;
        QSqlQuery paid = m_db.run(Statements::receiptPayments(request.soldReceipt, soldTill));
        while (paid.next()) {
            const int method = paid.value(int(Column::Method)).toInt();
            if (!net.contains(method))
                order << method;
            net[method] += Money::fenOf(paid.value(int(Column::Amount)).toString()).value_or(0)
                - Money::fenOf(paid.value(int(Column::Change)).toString()).value_or(0);
        }
        paid = QSqlQuery();
        for (const int method : std::as_const(order)) {
            const qint64 back = qMin(left, qMax<qint64>(0, net.value(method) - givenBack.value(method)));
            if (back > 0) {
                refunds << Payment{method, PaymentMethods::nameOf(methods, method), Money::text(-back)};
                left -= back;
            }
        }
    }
    if (left > 0)
        refunds << Payment{Schema::kCashMethod, PaymentMethods::nameOf(methods, Schema::kCashMethod),
                           Money::text(-left)};
    // The refunds go into the day's summary as the sale's payments do, negative.
    SalesSummary refundSummary;
    for (const Payment &payment : std::as_const(refunds)) {
        m_db.execute(Statements::recordPayment(number, m_db.till(), payment.method, payment.amount, QStringLiteral("0")));
        refundSummary.addPayment(request.saleDate, m_db.till(), payment.method, payment.amount, QStringLiteral("0"));
        input.payments << ReceiptPayment{QStringLiteral("退") + payment.methodName,
                                         Money::text(-Money::fenOf(payment.amount).value_or(0))};
    }
    refundSummary.addToStored([this](const Statement &statement) { return m_db.run(statement); });
    input.paymentChange = QStringLiteral("0");
    input.totalQuantity = quantities.text();
    input.totalAmount = Money::text(-refund);
    AuditLog::write(m_db, {withoutReceipt ? AuditLog::Kind::ReturnWithoutReceipt : AuditLog::Kind::Return,
                           request.cashier, number,
                           (withoutReceipt ? QString() : QStringLiteral("原单号 %1：").arg(request.soldReceipt))
                               + described.join(QStringLiteral("；")),
                           Money::text(refund)});
    transaction.commit();
    m_lastReceiptNumber = number;

    try {
        printer.print(ReceiptLayout::returnLines(input, request.soldReceipt, printer.encoding()));
    } catch (const AppError &e) {
        throw ReturnNotPrinted(QStringLiteral("退货已经记录（单号 %1），但退货单没有打印出来：%2\n"
                                              "可以在销售记录里按这个单号重印。")
                                   .arg(number, e.message()));
    }
    return number;
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
    if (!m_lines.isEmpty()) {
        Transaction transaction(m_db, Transaction::Start::Writing);
        QString amount;
        const QString lines = describedLines(m_lines, &amount);
        m_db.execute(Statements::emptyOpenSale(m_db.till()));
        AuditLog::write(m_db, {AuditLog::Kind::SaleEmptied, m_cashier, {}, lines, amount});
        transaction.commit();
    } else {
        m_db.execute(Statements::emptyOpenSale(m_db.till()));
    }
    m_takenBack = false;
    reopenSale();
}

void Till::noteDrawerOpened()
{
    AuditLog::write(m_db, {AuditLog::Kind::DrawerWithoutSale, m_cashier, {}, {}, QStringLiteral("0")});
}

void Till::requireChangeableSale() const
{
    if (m_pending == Pending::Printed)
        throw SaleLinesFixed(QStringLiteral("本单小票已打印，销售已记录，不能再修改"));
}
