#pragma once

#include "receipt/receiptdata.h"
#include "storage/salestock.h"
#include "till/heldsale.h"
#include "till/linelimits.h"
#include "till/product.h"
#include "till/receiptnumbers.h"
#include "till/saleheader.h"
#include "till/saleline.h"
#include "till/salereturn.h"
#include "till/saletotals.h"
#include "till/scalecodes.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class Database;
class ReceiptSink;
struct Statement;

// One till's sale on the shop's database: finding products, the lines of the
// open sale and their totals, the change, and completing the sale (record,
// print, empty) as one unit. No widgets: a window turns keys into these calls
// and shows the lines through the signals below.
class Till final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Till)

public:
    explicit Till(Database &db);

    // The lines of the open sale as stored, in the order they were added (or
    // as last sorted); none until the sale is read. Which line is current is
    // the caller's business: it names a line by its index here.
    const QList<SaleLine> &lines() const { return m_lines; }

    // Reads the open sale afresh, lines left by an earlier run included, and
    // sums them: the totals, change and receipt count those lines too. When
    // reading fails the sale is left unread, without lines.
    void reopenSale();
    // Reads the open sale afresh with its totals, and forgets the last
    // product found: the database file was replaced (a restore).
    void reloadSale();
    // Above these a line is asked about before it goes in; read with the
    // sale (a change of them holds from the next sale on).
    const LineLimits &lineLimits() const { return m_lineLimits; }

    // Looks a code or a name up as a whole (control characters anywhere in
    // the text and blanks around it are not part of it); the first product
    // found, if any. The found product's code goes with a line added under
    // its name. A code nothing matches that is a scale code gives its item
    // with the code's price or weight; a scale code with a wrong check digit
    // or an item the catalogue does not hold throws Refusal. Text with a
    // letter that is neither gives the first product its pinyin finds.
    std::optional<Product> lookUp(const QString &typed);
    // Products whose pinyin initials or full pinyin start with the typed
    // letters and digits (kkkl, kekou), initials first, shorter names first;
    // none for text that is not such letters and digits.
    QList<Product> findByPinyin(const QString &typed, int most);
    // The same for a name picked from the list.
    std::optional<Product> lookUpName(const QString &typed);

    // Adds a line at the end, written at once. Its code is the code that
    // goes with its name: that of the product the last lookup found, or of
    // the line last picked, as long as the name is still that product's or
    // line's name; otherwise "-" (no lookup yet, nothing found, or the name
    // changed since). The name is stored without control characters.
    // Quantity and price are converted as stored; text that is not a number,
    // or an amount or total that is no longer a finite number, throws
    // ConversionError and nothing is stored.
    void addLine(const QString &name, const QString &quantity, const QString &price);
    // Changes the name, quantity, price and amount of the line at index
    // (refused as addLine refuses); its code stays. False when there is no
    // such line. Throws RowChangedElsewhere when the stored line is no longer
    // as it was read.
    bool modifyLine(int index, const QString &name, const QString &quantity, const QString &price);
    // Deletes the line at index; false when there is none.
    bool deleteLine(int index);
    // The line at index, taken up by the cashier (a click in the grid): a line
    // added under its name, unchanged, takes its code. An empty line when
    // there is none.
    SaleLine pickLine(int index);
    // Orders the lines by one of their parts until the sale is read again:
    // empty numbers first, numbers by value, text by its characters; lines
    // that are equal keep their order.
    void sortLines(SaleLine::Field field, Qt::SortOrder order);
    // Lines are changed, picked and sorted only in a sale that was read: these
    // throw DatabaseError when it was not (no database, or reading it failed).

    // Totals in the general number text: the exact decimal sums of the
    // quantities and amounts as shown ("0" with no line or no sale read).
    const QString &totalQuantity() const { return m_totalQuantity; }
    const QString &totalAmount() const { return m_totalAmount; }
    // The amount received less the total; throws ConversionError when the
    // received text is not a number.
    QString changeFor(const QString &received) const;

    // Completes the sale: records every line under the header, prints the
    // receipt (copies: 1 or 2, one job each) and empties the open sale. A
    // header with a change gets the amount received less the total as it
    // now stands (ConversionError when the received text is no number).
    // Nothing goes to the printer before the recording is committed, and
    // nothing stays recorded when the printer fails:
    //  1. the receipt is laid out (no transaction is open while laying out
    //     or printing);
    //  2. the receipt number is taken (the next free second when another
    //     till has it), and the record rows and a mark "awaiting print" are
    //     committed with it;
    //  3. every copy is printed; a printer error removes the rows, the mark
    //     and the number again and is passed on, the sale staying as it was;
    //  4. the open sale is emptied and the mark removed together.
    // When step 4 fails the receipt is out and the sale recorded: the error
    // is passed on as SaleNotEmptied, the lines can no longer be changed
    // (SaleLinesFixed), and the next call only empties the open sale,
    // printing nothing twice. When the server
    // goes away during the commit of step 2 nothing is printed, and the next
    // call first asks the server whether the sale was recorded.
    // True when the sale was completed; false, doing nothing, when a
    // completion is already running.
    bool complete(const SaleHeader &header, ReceiptSink &printer, int copies);
    bool isCompleting() const { return m_completing; }

    // Discounts and 抹零 are lines of their own, with codes of their own
    // (LineCodes) and a negative amount, so that the receipt's total is the sum of what it
    // prints and the record explains every fen.
    enum class DiscountKind { Percent, Amount };
    // A discount on the line at index (percent of its amount, or an amount
    // up to it) or on the whole sale as it now stands, to the fen (half up),
    // added as a line. Refused (Refusal) for a value that is no number, not
    // above zero or above what it is given on, or on a discount line; above
    // the shop's limit it needs the owner's PIN when one is set
    // (OwnerPinNeeded when none or a wrong one is given).
    void discountLine(int index, DiscountKind kind, const QString &value, const QString &ownerPin = {});
    void discountSale(DiscountKind kind, const QString &value, const QString &ownerPin = {});
    // Drops the fen (or the jiao and fen) of the total as the shop's rules
    // say, as a line; nothing when they say off or the total is round.
    void roundOff();

    // The cash put in this till's drawer before its first sale (备用金),
    // counted by the next Z report; a new amount replaces the one not yet
    // counted. Throws Refusal for text that is no amount of money.
    void setOpeningCash(const QString &amount);
    // The amount set and not yet counted, if any.
    std::optional<QString> openingCash();
    // True when no opening cash waits to be counted and it was not asked
    // for yet on this day: the day's first completion asks once.
    bool wantsOpeningCash(const QDate &today);
    // Remembers that this till asked on that day, whether given or skipped.
    static void openingCashAsked(Database &db, const QDate &day);

    // The scale code rules: the stored ones, read at each use, with the mode
    // set for this run in place of the stored one when there is one.
    ScaleCodes scaleCodes() const;
    void setScaleCodeMode(std::optional<ScaleCodes::Mode> mode) { m_scaleCodeMode = mode; }
    // A receipt as recorded, to print again.
    struct UnfinishedReceipt
    {
        ReceiptInput input;
        int copies = 1;
    };
    // A sale an earlier run recorded but did not finish (it ended between
    // steps 2 and 4 of complete(): the receipt may or may not be out). It is
    // finished here: the open sale is emptied and the mark removed. Returns
    // its receipt, laid out from the record rows, for the cashier to print
    // again if none came out; nothing when there was no such sale or it had
    // no lines.
    std::optional<UnfinishedReceipt> finishInterruptedSale();
    void reprint(const UnfinishedReceipt &receipt, ReceiptSink &printer);

    // The receipt number of the next sale: the time "yyMMddHHmmss", always
    // later than the last one issued and the largest one recorded; with
    // "-" and the till number after it while the till sells on its own copy.
    QString nextReceiptNumber();

    // The receipt number the last completed sale was recorded and printed
    // under: the one asked for, or the next free second when another till
    // had taken it.
    const QString &lastReceiptNumber() const { return m_lastReceiptNumber; }

    // True when the server went away while a completion was committing its
    // recording; resolveUnknownRecording() (or the next completion) asks the
    // server, by the sale's receipt number, whether it was recorded.
    bool completionOutcomeUnknown() const { return m_pending == Pending::Unknown; }
    void resolveUnknownRecording();

    // Parks the open sale (挂单) and starts an empty one: its lines move to
    // the till's parked sales in one transaction, so a crash leaves them in
    // one place or the other. A parked sale is never recorded or printed.
    // Refusal when the sale has no line or its receipt is out.
    void holdSale();
    // The till's parked sales, oldest first.
    QList<HeldSale> heldSales();
    int heldSaleCount();
    // Takes a parked sale back as the open sale, which must be empty
    // (Refusal otherwise, or when the sale is no longer parked at this till).
    void takeBack(qint64 number);
    // The open sale is one taken back and not yet completed or thrown away.
    bool isTakenBack() const { return m_takenBack; }
    // Returns (退货). The sold lines of a receipt with what was returned of
    // each so far; Refusal when no sale carries the number.
    QList<SoldLine> soldLines(const QString &receiptNumber);
    // Not while the till sells on its own copy (Refusal). Records the return under a receipt number of its own, as lines of
    // negative quantity and amount that name the sold lines they take back,
    // with its refunds as negative payments (by the sale's methods, or in
    // cash) and the day summary, in one transaction; then prints its 退货单.
    // Refused (Refusal) for a line beyond what is left to return, checked
    // under the transaction so that two tills cannot both take the rest;
    // without a receipt it needs the owner's PIN (OwnerPinNeeded). Returns
    // the return's receipt number. A printer that fails leaves the return
    // recorded and is passed on as ReturnNotPrinted.
    QString completeReturn(const SaleReturn &request, ReceiptSink &printer);

    // Empties the open sale without recording it (the program is closing).
    // A sale whose receipt is already out stays recorded. Lines thrown away
    // go into the owner's trail.
    void discardSale();

    // The cashier at the till, named in the owner's trail for what is taken
    // back or given away here (a deleted line, a changed price, a discount …).
    void setCashier(const QString &cashier) { m_cashier = cashier; }
    const QString &cashier() const { return m_cashier; }
    // The drawer was opened without a sale: written to the owner's trail.
    void noteDrawerOpened();

signals:
    // For a view of the lines: each change is told before and after it.
    void linesAboutToBeReset();
    void linesReset();
    void lineAboutToBeAdded(int index);
    void lineAdded(int index);
    void lineChanged(int index);
    void lineAboutToBeRemoved(int index);
    void lineRemoved(int index);
    void linesAboutToBeSorted();
    // The line now at index i is the one that was at from[i].
    void linesSorted(const QList<int> &from);

private:
    std::optional<Product> takeLookup(const Statement &statement);
    void addDiscount(qint64 base, DiscountKind kind, const QString &value, const QString &ownerPin,
                     const QString &name);
    std::optional<Product> lookUpScaleCode(const QString &code);
    void requireSaleRead() const;
    SaleTotals fillNumbers(SaleLine &line, const QString &quantity, const QString &price, int replacing) const;
    void replaceLines(QList<SaleLine> lines, bool read);
    void setTotals(const SaleTotals &totals);
    // What the till knows of the sale in the mark "awaiting print".
    enum class Pending {
        None,       // no mark
        Unprinted,  // recorded, no receipt out: the recording must be undone
        Printed,    // recorded, receipt out (or maybe out): only the emptying is left
        Unknown,    // the server went away while the recording was committed
    };

    void requireChangeableSale() const;
    ReceiptInput receiptInput(const SaleHeader &header, const QString &printTime);
    QString record(const SaleHeader &header, const QString &printTime, int copies);
    // The sale's payments as they are recorded: those taken at the payment
    // window, or else one in cash of the amount received (the total when
    // none was typed) with its change. None for a sale without lines.
    QList<Payment> paymentsOf(const SaleHeader &header) const;
    QString reserveReceiptNumber(const QString &proposed);
    QString reserveOfflineNumber(const QString &proposed);
    void carryOpenSale();
    void undoRecording();
    void finalise();
    QString largestRecordedNumber();

    Database &m_db;
    QList<SaleLine> m_lines;
    bool m_saleRead = false;
    SaleTotals m_totals;   // of m_lines
    LineLimits m_lineLimits;
    // The code a line added under this name takes.
    struct NamedCode
    {
        QString name;
        QString code;
    };
    NamedCode m_codeForName;
    QString m_totalQuantity = QStringLiteral("0");
    QString m_totalAmount = QStringLiteral("0");
    ReceiptNumbers m_receiptNumbers;
    bool m_completing = false;
    std::optional<ScaleCodes::Mode> m_scaleCodeMode;
    Pending m_pending = Pending::None;
    qint64 m_firstRecord = 0;
    qint64 m_lastRecord = 0;
    QString m_recordedNumber;      // the receipt number of the recording under way
    QString m_recordedDate;        // and its sale date
    // Its goods, cashier and time as its stock movements have them: taking
    // the recording back moves them back in.
    QList<SaleStock::Line> m_recordedStock;
    QString m_recordedCashier;
    QString m_recordedAt;
    QString m_lastReceiptNumber;   // of the last sale completed
    // A sale the server may have recorded as the connection broke: made
    // again offline, it keeps its number, by which the server knows it.
    QString m_unsettledNumber;
    bool m_takenBack = false;
    QString m_cashier;
};
