#pragma once

#include "storage/dialect.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// One statement as it is sent: SQL with "?" placeholders and the values bound
// to them. Typed text is always bound, never pasted into the SQL, so a quote
// is just a character and "%" and "_" keep their LIKE meaning.
struct Statement
{
    QString sql;
    QVariantList params;
    // Where rows of the result are written back to, and the columns that find
    // a row there again (empty table: the result is read-only).
    QString table;
    QStringList keyColumns;
    // The same statement in PostgreSQL's words, where they differ (empty: the
    // same text serves both).
    QString postgresSql = {};

    const QString &sqlFor(Dialect dialect) const
    {
        return dialect == Dialect::Postgres && !postgresSql.isEmpty() ? postgresSql : sql;
    }
};

// Every statement the program sends.
namespace Statements {

// The columns of the open sale's lines as openSale() gives them, in this order.
enum class OpenSaleColumn { Key, Code, Name, Quantity, Price, Amount };
Statement openSale(int till);                          // the till's lines being rung up, in the order added
Statement emptyOpenSale(int till);                     // deletes every line of the till's open sale

// One line of the open sale as it is written and was read (an empty value is
// a null QVariant).
struct OpenSaleValues
{
    QVariant code;
    QVariant name;
    QVariant quantity;
    QVariant price;
    QVariant amount;
};
// Each written at once, so that a line rung up is never lost.
Statement addOpenSaleLine(int till, const OpenSaleValues &line);   // yields the new line's key
// Writes the name and numbers of the line with that key (its code stays),
// only while it is as it was read: yields its key, or no row when another
// till changed or deleted it since.
Statement changeOpenSaleLine(qint64 key, int till, const OpenSaleValues &was, const OpenSaleValues &now);
Statement removeOpenSaleLine(qint64 key);

// Parked sales (挂单) of a till. Parking copies the open sale's lines under a
// new parked sale and empties it; taking back copies them into the open sale
// and forgets the parked one. Each pair runs in one transaction.
Statement holdSale(int till, const QString &heldAt);                // yields the parked sale's key
Statement holdOpenSaleLines(qint64 heldSale, int till);
// The columns of heldSales(), in this order: a parked sale with no line has one row of nulls.
enum class HeldSaleColumn { Key, HeldAt, Line, Amount };
Statement heldSales(int till);                                      // each parked sale's lines, oldest sale first
Statement heldSaleCount(int till);
Statement takeBackHeldLines(qint64 heldSale, int till);             // into the till's open sale, in their order
Statement forgetHeldLines(qint64 heldSale);
Statement forgetHeldSale(qint64 heldSale, int till);                // changes no row when it is not the till's

// The pinyin spellings of products (made by PinyinKeys). A search by pinyin
// takes the typed text as PinyinKeys::typed() gives it, plus "%".
Statement forgetPinyin(const QString &code);                                    // every spelling stored for the code
Statement addPinyin(const QString &code, const QString &name, int kind, const QString &spelling);
// Many spellings in one statement: code, name, kind, spelling of each in turn.
Statement addPinyinRows(const QVariantList &values);
Statement forgetPinyinOf(const QVariantList &codes);                            // every spelling of these codes
Statement productsForPinyin();                                                   // code, name of every product
// code, name, price of the products a pinyin prefix finds: initials before
// full pinyin, shorter names first, then by code; at most `most` of them.
Statement lookupByPinyin(const QString &spellingPattern, int most);
// The catalogue search with pinyin besides: the code as a whole first, then
// codes like the text and names containing it (by code), then products whose
// initials, then full pinyin, start with the spelling (shorter names first).
Statement searchCatalogueWithPinyin(const QString &text, const QString &spellingPattern);
Statement deleteMatchingProductsWithPinyin(const QString &text, const QString &spellingPattern);

Statement settings();                                  // the shop settings row
Statement productNames();                              // every product name once
// The product box's list, a page at a time: up to count names after the
// given one (empty: from the first), each once, in the name index's order.
Statement productNamesAfter(const QString &after, int count);
// The columns of a product as the lookups give it, in this order.
enum class ProductColumn { Code, Name, Price };
Statement lookupByCodeOrName(const QString &text);     // code or name is like the text, as a whole
Statement lookupByName(const QString &text);           // name is like the text
Statement lookupByCode(const QString &code);           // code is exactly the text
Statement catalogue();                                 // the whole catalogue
Statement searchCatalogue(const QString &text);        // code like the text, or name containing it, by code
Statement deleteMatchingProducts(const QString &text); // every product the same search lists
Statement allRecords();                                // every sales record line, newest date first

// Walks of the sales record window over every line. Its view ends at the
// highest row key it saw when it was opened; lines recorded later have higher keys.
// till: the lines of that till only; 0: of every till.
Statement recordWalkByKey(int till = 0);               // key, quantity, amount, date; highest key first
Statement recordWalkByDate(int till = 0);              // key, quantity, amount; newest date first, then highest key
Statement recordedTills();                             // every till number in the sales record, once, in order
Statement recordFieldsByKey(const QStringList &fields); // the named columns of the line whose key is bound
Statement recordFieldUpTo(const QString &field, qint64 lastKey); // key and one column of each line up to a key, by key

// Settings of one till, by name.
Statement tillSetting(int till, const QString &name);               // value
Statement tillSettings(int till);                                   // name, value of each
Statement forgetTillSetting(int till, const QString &name);
Statement storeTillSetting(int till, const QString &name, const QString &value);

// One line of a completed sale into the sales record, with the till that
// sold it; yields the line's key.
Statement recordSaleLine(const QVariant &code, const QVariant &name, const QVariant &quantity,
                         const QVariant &price, const QVariant &amount, const QString &receiptNumber,
                         const QString &cashier, const QString &date, const QString &time, int till);

// Importing a product list. Codes are matched as the till's lookup matches
// them, letter case aside; a temporary table remembers which codes the file
// has already given, and on which line.
Statement importUpdateProduct(const QString &code, const QString &name, const QVariant &price); // a null price keeps the stored one
Statement importStartRows();
Statement importStageRow(qint64 line, const QString &code, const QString &name, const QString &price,
                         const QVariant &value);             // the price as written, and as stored
Statement importIndexRows();
Statement importRowsWithProducts(); // line, code, name, price, value, code as compared, and the product's code, name
                                    // and price (none when new); by code as compared, then line
Statement importForgetRow(qint64 line);
Statement importAddNewRows();       // the rows whose code the catalogue lacks into it
Statement importEndRows();
Statement importCache(const QString &schema, int kib);                // "main" or "temp"; files only
// A large import into a file drops the catalogue's name index and the
// spellings' index, writes its rows, then builds both again (files only).
Statement importCatalogueSize();                                    // an upper bound of the products stored
QList<Statement> importDropLaterIndexes();
QList<Statement> importBuildLaterIndexes();

// Exports, in the order a spreadsheet wants them.
Statement exportProducts();                                         // code, name, price, by code
// Receipt number, date, time, cashier, code, name, quantity, price, amount
// of every recorded line, oldest first; or of the lines dated from..to
// (text "yyyy-mm-dd", both days included).
Statement exportAllSales();
Statement exportSales(const QString &from, const QString &to);
// Every payment as the payments CSV has it: receipt number, till, date and
// time of the receipt's first line, method name, amount, change; oldest first.
Statement exportAllPayments();
Statement exportPayments(const QString &from, const QString &to);

// Checks and housekeeping on a database file (backups and restores).
Statement integrityCheck();                                         // one row "ok", or the faults found
Statement quickCheck();
Statement layoutVersion();                                          // user_version
Statement tableColumns(const QString &table);                       // the names of a table's columns
Statement singleFileJournal();                                      // no write-ahead log beside the file
Statement checkpoint();                                             // the write-ahead log into the file, emptied

// The largest recorded receipt number of twelve characters below the given
// one (empty: of all), if any.
Statement largestReceiptNumber(const QString &below = {});
// The columns of a receipt's recorded lines as recordedReceipt() and
// recordedSale() give them, in this order.
enum class ReceiptLineColumn { ReceiptNumber, Name, Quantity, Amount, Cashier, Date, Time, Till };
// The record rows of one till's sale by their keys, in the order they were written.
Statement recordedSale(qint64 firstKey, qint64 lastKey, int till);
Statement removeRecordedSale(qint64 firstKey, qint64 lastKey, int till);

// The till's sale whose receipt is being printed (at most one row a till).
Statement markAwaitingPrint(int till, qint64 firstKey, qint64 lastKey, const QString &received,
                            const QString &change, int copies);
Statement awaitingPrint(int till);
Statement clearAwaitingPrint(int till);

// A receipt number for a till's sale: changes no row when another sale has it.
Statement reserveReceiptNumber(const QString &number, int till);
// The number (yyMMddHHmmss) if free, else the next after the largest taken
// up to lastOfDay: yields the number taken, or no row.
Statement reserveFreeReceiptNumber(const QString &number, const QString &lastOfDay, int till);
Statement releaseReceiptNumber(const QString &number, int till);
Statement receiptNumberHolder(const QString &number);                // the till that holds it

// Reports, reprints and day closings.
// The first and last row key of the lines of the dates (NULL when there are none).
Statement reportLineRange(const QString &fromDate, const QString &toDate);
// The lines of the dates with keys from first to last, by key: key, receipt
// number, cashier, date, time, code, name, quantity, amount.
Statement reportLines(const QString &fromDate, const QString &toDate, const QString &cashier, int till,
                      qint64 firstLine, qint64 lastLine);
Statement recordedReceipt(const QString &receiptNumber);   // its lines, as ReceiptLineColumn
Statement lastDayClosing();                             // the closing with the highest number
Statement dayClosing(int number);
Statement recordDayClosing(int number, const QString &closedAt, const QString &fromDate, const QString &toDate,
                           qint64 afterLine, qint64 lastLine, qint64 receipts, qint64 lines, const QString &items,
                           const QString &takings, const QString &counted, const QString &difference,
                           const QString &content);
Statement removeDayClosing(int number);
// Holds any other till's closing until this transaction ends.
Statement holdDayClosings();
// Marks every line no closing has closed yet as closed by this one.
Statement closeOpenLines(int closing);
Statement reopenClosedLines(int closing);
// As reportLines(): the lines of one closing, or (none) those no closing closed yet.
Statement closingReportLines(std::optional<int> closing);

// The summary of the sales record by sale date, till, cashier and hour, and
// of each product by sale date and till. Sums are exact decimal text, NULL
// when they could not be kept exactly.
struct SummaryValues
{
    qint64 receipts = 0;
    qint64 lines = 0;
    QVariant items;
    QVariant takings;
    qint64 firstLine = 0;
    QString firstTime;
    qint64 lastLine = 0;
    QString lastTime;
    int doubtful = 0;
};
// The columns of summaryGroup(), in this order.
enum class SummaryColumn { Receipts, Lines, Items, Takings, FirstLine, FirstTime, LastLine, LastTime, Doubtful };
Statement summaryGroup(const QString &date, int till, const QString &cashier, int hour);
Statement addSummaryGroup(const QString &date, int till, const QString &cashier, int hour, const SummaryValues &values);
Statement changeSummaryGroup(const QString &date, int till, const QString &cashier, int hour,
                             const SummaryValues &values);
Statement summaryProduct(const QString &date, int till, const QString &code, const QString &name); // lines, quantity, takings
Statement addSummaryProduct(const QString &date, int till, const QString &code, const QString &name, qint64 lines,
                            const QVariant &quantity, const QVariant &takings);
Statement changeSummaryProduct(const QString &date, int till, const QString &code, const QString &name, qint64 lines,
                               const QVariant &quantity, const QVariant &takings);
// The same by month ("2026-12") and till.
Statement summaryProductMonth(const QString &month, int till, const QString &code, const QString &name);
Statement addSummaryProductMonth(const QString &month, int till, const QString &code, const QString &name,
                                 qint64 lines, const QVariant &quantity, const QVariant &takings);
Statement changeSummaryProductMonth(const QString &month, int till, const QString &code, const QString &name,
                                    qint64 lines, const QVariant &quantity, const QVariant &takings);
// Deletes the month rows of one month and till (a null month: every row).
Statement forgetProductMonths(const QString &month = {}, int till = 0);
// Marks that the rows by day hold a date in no month (once); a row when they do.
Statement markOtherDates();
Statement anyOtherDates();
// Date, till, code, name, lines, quantity, takings of the product rows by
// day of one month and till (a null month: every row), for the month rows.
Statement productDaysToSumByMonth(const QString &month = {}, int till = 0);
// Deletes the summary rows of one date and till (a null date: every row,
// the months' too; a day's months are made again from its days).
QList<Statement> forgetSummary(const QString &date = {}, int till = 0);
// Key, receipt number, cashier, date, time, code, name, quantity, amount and
// till of the lines of one date and till (a null date: of every line), by key.
Statement linesToSummarise(const QString &date = {}, int till = 0);
// One row when a line outside the keys carries the receipt number.
Statement receiptNumberElsewhere(const QString &receiptNumber, qint64 firstKey, qint64 lastKey);
// The summary rows of the dates: date, till, cashier, hour, then as
// SummaryColumn; and (till 0: of every till) code, name, lines, quantity, takings.
Statement reportSummaryGroups(const QString &fromDate, const QString &toDate);
Statement reportSummaryProducts(const QString &fromDate, const QString &toDate, int till);
// The same of the dates from one up to (not including) another, and after one up to another.
Statement reportSummaryProductsBefore(const QString &fromDate, const QString &beforeDate, int till);
Statement reportSummaryProductsAfter(const QString &afterDate, const QString &toDate, int till);
// Code, name, lines, quantity, takings of the months' rows (till 0: of every till).
Statement reportSummaryProductMonths(const QString &firstMonth, const QString &lastMonth, int till);
// What a payment method took on one date at one till: amount, change.
Statement summaryPayment(const QString &date, int till, int method);
Statement addSummaryPayment(const QString &date, int till, int method, const QVariant &amount, const QVariant &change);
Statement changeSummaryPayment(const QString &date, int till, int method, const QVariant &amount,
                               const QVariant &change);
// The payments of the receipts with lines of one date and till (a null
// date: of every receipt): date, till, method, amount, change, receipt number.
Statement paymentsToSummarise(const QString &date = {}, int till = 0);
// Method, amount, change of the dates (till 0: of every till).
Statement reportSummaryPayments(const QString &fromDate, const QString &toDate, int till);
// Payment methods, in the order the payment window lists them.
enum class PaymentMethodColumn { Number, Name, GivesChange, Position, Enabled };
Statement paymentMethods();
Statement addPaymentMethod(int number, const QString &name, bool givesChange, int position, bool enabled);
Statement changePaymentMethod(int number, const QString &name, bool givesChange, int position, bool enabled);

// A recorded sale's payments, by its receipt number and till.
Statement recordPayment(const QString &receiptNumber, int till, int method, const QString &amount,
                        const QString &change, bool shown = true);
Statement removePayments(const QString &receiptNumber, int till);
enum class PaymentColumn { Method, Amount, Change, Shown };
Statement receiptPayments(const QString &receiptNumber, int till);   // in the order paid
// Receipt number, till, method, amount, change of every payment of the
// receipts that have a line keyed first to last; the report keeps those of
// its own lines.
Statement paymentsOfLines(qint64 firstLine, qint64 lastLine);

// Opening cash of the tills (备用金): set, and read and closed by the Z report.
Statement recordCashFloat(int till, const QString &setAt, const QString &amount);
Statement forgetOpenCashFloat(int till);                   // the till's float no Z counted yet
Statement openCashFloat(int till);                         // its amount, if any
// The amount of each float that a closing counted (none: no closing yet).
Statement cashFloatsOf(std::optional<int> closing);
Statement closeCashFloats(int closing);
Statement reopenCashFloats(int closing);

// The owner's trail: a row added; the rows logged from..to (text
// "yyyy-mm-dd", to excluded; empty: no bound) of one till, cashier and kind
// (0 or empty: all): logged at, till, cashier, kind, receipt number, lines,
// amount, in the order written.
Statement addAuditEntry(const QString &loggedAt, int till, const QString &cashier, const QString &kind,
                        const QString &receiptNumber, const QString &lines, const QString &amount);
Statement auditEntries(const QString &from, const QString &to, int till, const QString &cashier,
                       const QString &kind);

// Returns. The sold lines of a receipt (not those of a return) and what was
// returned of each so far, as SoldLineColumn, by key.
enum class SoldLineColumn { Key, Code, Name, Quantity, Price, Amount, Till, Returned };
Statement soldLines(const QString &receiptNumber);
// Holds the receipt's lines against another till's return until this
// transaction ends (a data file is held whole by its write lock).
Statement holdSoldLines(const QString &receiptNumber);
// Method and amount of every refund already given for returns of the receipt.
Statement refundsOf(const QString &soldReceipt);
Statement recordReturnedLine(qint64 recordLine, const QVariant &soldLine, const QVariant &soldReceipt, int till,
                             bool withoutReceipt);

// A till's own copy of the server's catalogue and settings: a table's rows
// as they are (every column, the key first), emptied and written again.
Statement copiedRows(const QString &table);
Statement emptyCopiedTable(const QString &table);
Statement insertCopiedRow(const QString &table);

// The outbox of sales made while the server was away, oldest first.
Statement queueSale(const QString &receiptNumber, const QString &queuedAt);
Statement waitingSales();
Statement waitingSaleCount();
Statement unqueueSale(const QString &receiptNumber);
// On the server: a sale from an outbox arrives once (DuplicateKeyError the second time).
Statement recordArrival(int till, const QString &receiptNumber, const QString &sentAt);
Statement hasArrived(int till, const QString &receiptNumber);
Statement hasRecordedLines(const QString &receiptNumber, int till);
// What else a till kept in its copy while the server was away: the sales it
// parked (key, time parked; their lines as HeldLineColumn) and the opening
// cash it recorded (time, amount), sent when the server is back.
Statement heldSalesToSend(int till);
enum class HeldLineColumn { Code, Name, Quantity, Price, Amount };
Statement heldLinesToSend(qint64 heldSale);
Statement addHeldLine(qint64 heldSale, const QVariant &code, const QVariant &name, const QVariant &quantity,
                      const QVariant &price, const QVariant &amount);
Statement cashFloatsToSend(int till);
// A recorded sale's lines as the outbox sends them, in the order recorded.
enum class SentLineColumn { Code, Name, Quantity, Price, Amount, Cashier, Date, Time };
Statement recordedLinesToSend(const QString &receiptNumber, int till);
// When a till last sent or read what the server has (its own copy keeps it).
Statement lastSynchronised();
Statement storeLastSynchronised(const QString &at);
// The shop's cashiers, by number, as CashierColumn.
enum class CashierColumn { Number, Name, PinHash, Active };
Statement cashiers();
Statement addCashier(int number, const QString &name, const QString &pinHash, bool active);
Statement changeCashier(int number, const QString &name, const QString &pinHash, bool active);
// The highest key of the sales record (0 when empty): a shift counts the lines above it.
Statement lastRecordLine();
// The payments of a cashier's receipts at a till recorded above a line key,
// as ShiftPaymentColumn, in the order recorded.
enum class ShiftPaymentColumn { ReceiptNumber, Method, Amount, Change };
Statement shiftPayments(int till, const QString &cashier, qint64 afterLine);

// Stock
// A stock document (a receipt of goods, a stock-take, a correction): yields its number.
Statement addStockDocument(int kind, const QString &madeAt, int till, const QString &cashier, const QString &note);
// One movement of the product with exactly that code; changes no row when the
// catalogue has none. Without a unit cost it takes the product's last cost
// price, so a sale keeps the cost of its moment.
Statement addStockMovement(int kind, const QString &code, qint64 quantityMilli, const QVariant &unitCost,
                           const QString &movedAt, int till, const QString &cashier, const QVariant &document,
                           const QVariant &receiptNumber);
// A sale's movements in one statement: code and quantity (thousandths) of
// each, written in the order given, each product at its last cost price;
// codes the catalogue does not have are left out.
Statement addSaleMovements(int kind, const QList<std::pair<QString, qint64>> &movements, const QString &movedAt,
                           int till, const QString &cashier, const QString &receiptNumber);
Statement stockDocument(qint64 number);                 // kind, made at, till, cashier, note
Statement stockDocumentLines(qint64 number);            // code, quantity (thousandths), unit cost; as written
// A product's stock as StockLevelColumn (on hand 0 where it never moved).
enum class StockLevelColumn { Code, Name, Price, OnHand, ReorderLevel, LastCost };
Statement stockLevel(const QString &code);
Statement lowStock();                                   // below zero or at or below the reorder level, by code
Statement setReorderLevel(const QString &code, const QVariant &levelMilli);   // a null level clears it
// Per product with a level or a movement: code, the figure kept, the sum of
// its movements (thousandths), 1 when it has a level row; by code. One
// statement, so that both are read as of one moment.
Statement stockCheck();
// Code, quantity (thousandths) and unit cost of the sales', returns' and
// taken-back sales' movements from a day up to (not including) another, of
// one till and cashier (0 or empty: all).
Statement reportStockCosts(const QString &fromDate, const QString &beforeDate, int till, const QString &cashier);

// Used only when a new database file is filled with the demo catalogue.
Statement insertProduct(const QString &code, const QString &name, double price);
Statement insertSettings(const QString &cashier, const QString &shopName, const QString &remark);

// Stock windows
// A product's on hand in thousandths; no row for one that never moved. The
// catalogue asks it only for the rows it shows, so a list of a million
// products costs no more than without it.
Statement onHandOf(const QString &code);

} // namespace Statements
