#pragma once

#include <QString>

// The name of every table and column the program stores, each spelled once
// here: the schema, the upgrade step, every statement and the tests take
// them from here. They are the stored file's format (a shop's older file
// has the same ones), so none may change. A column that several tables
// have under one name is one constant, brought into each table by name.
//
//     Tables::SalesRecord::table          "XiaoShouRecord"
//     Tables::SalesRecord::receiptNumber  "单号"
namespace Tables {

namespace Common {
// The key the database assigns to each new row, at position 0 where a table
// has one.
inline const QString key = QStringLiteral("id");
// The till a row belongs to, in tables of tills that may share one database.
inline const QString till = QStringLiteral("till");
inline const QString code = QStringLiteral("编码");
inline const QString name = QStringLiteral("品名");
inline const QString price = QStringLiteral("单价");
inline const QString quantity = QStringLiteral("数量");
inline const QString amount = QStringLiteral("金额");
inline const QString cashier = QStringLiteral("收银员");
inline const QString number = QStringLiteral("number");
} // namespace Common

// The products: code, name, unit price.
namespace Catalogue {
inline const QString table = QStringLiteral("spinfo");
using Common::code;
using Common::name;
using Common::price;
} // namespace Catalogue

// The lines of each till's sale being rung up.
namespace OpenSale {
inline const QString table = QStringLiteral("xiaoshou");
using Common::key;
using Common::code;
using Common::name;
using Common::quantity;
using Common::price;
using Common::amount;
using Common::till;
} // namespace OpenSale

// Every line of every completed sale.
namespace SalesRecord {
inline const QString table = QStringLiteral("XiaoShouRecord");
using Common::key;
using Common::code;
using Common::name;
using Common::quantity;
using Common::price;
using Common::amount;
inline const QString receiptNumber = QStringLiteral("单号");
using Common::cashier;
inline const QString date = QStringLiteral("日期");
inline const QString time = QStringLiteral("时间");
using Common::till;
// The number of the Z report that closed the line; NULL until one does.
inline const QString closing = QStringLiteral("closing");
} // namespace SalesRecord

// The shop's one settings row.
namespace ShopSettings {
inline const QString table = QStringLiteral("beizhu");
using Common::key;
using Common::cashier;
inline const QString shopName = QStringLiteral("店名");
inline const QString remark = QStringLiteral("备注");
} // namespace ShopSettings

// Settings of each till, by name.
namespace TillSettings {
inline const QString table = QStringLiteral("till_settings");
using Common::till;
inline const QString name = QStringLiteral("name");
inline const QString value = QStringLiteral("value");
} // namespace TillSettings

// A till's sale whose record rows are committed and whose receipt is being printed.
namespace AwaitingPrint {
inline const QString table = QStringLiteral("awaiting_print");
using Common::key;
inline const QString firstRecord = QStringLiteral("first_record");
inline const QString lastRecord = QStringLiteral("last_record");
inline const QString received = QStringLiteral("received");
inline const QString changeGiven = QStringLiteral("change_given");
inline const QString copies = QStringLiteral("copies");
using Common::till;
} // namespace AwaitingPrint

// Every receipt number a completion took, and the till that took it.
namespace ReceiptNumbers {
inline const QString table = QStringLiteral("receipt_numbers");
using Common::number;
using Common::till;
} // namespace ReceiptNumbers

// One row per Z report.
namespace DayClosings {
inline const QString table = QStringLiteral("day_closings");
using Common::number;
inline const QString closedAt = QStringLiteral("closed_at");
inline const QString dateFrom = QStringLiteral("date_from");
inline const QString dateTo = QStringLiteral("date_to");
inline const QString afterLine = QStringLiteral("after_line");
inline const QString lastLine = QStringLiteral("last_line");
inline const QString receipts = QStringLiteral("receipts");
inline const QString lines = QStringLiteral("lines");
inline const QString items = QStringLiteral("items");
inline const QString takings = QStringLiteral("takings");
inline const QString counted = QStringLiteral("counted");
inline const QString difference = QStringLiteral("difference");
// The printed lines, to print the report again as it was.
inline const QString content = QStringLiteral("content");
} // namespace DayClosings

// Sales a till parked (挂单) to serve the next customer, until taken back.
namespace HeldSales {
inline const QString table = QStringLiteral("held_sales");
using Common::key;
using Common::till;
inline const QString heldAt = QStringLiteral("held_at");
} // namespace HeldSales

// The lines of each parked sale, in the order they were rung up.
namespace HeldLines {
inline const QString table = QStringLiteral("held_lines");
using Common::key;
inline const QString sale = QStringLiteral("held_sale");
using Common::code;
using Common::name;
using Common::quantity;
using Common::price;
using Common::amount;
} // namespace HeldLines

// The pinyin spellings each product is found by (initials and full pinyin
// of every reading), with the name they were made from: a spelling whose
// product has since been renamed finds nothing.
namespace ProductPinyin {
inline const QString table = QStringLiteral("product_pinyin");
using Common::code;
using Common::name;
// 1: initials, 2: full pinyin.
inline const QString kind = QStringLiteral("kind");
inline const QString spelling = QStringLiteral("spelling");
} // namespace ProductPinyin
// The sales record summed by sale date, till, cashier and hour, kept with
// the record in the completion's transaction: a report over many days reads
// these rows instead of every line. Sums are exact decimal text (NULL when a
// sum could not be kept exactly); "doubtful" marks a group whose report must
// be read from the lines (a number that is no number, a receipt number met
// in another group).
namespace DaySummary {
inline const QString table = QStringLiteral("day_summary");
inline const QString date = QStringLiteral("sale_date");
using Common::till;
inline const QString cashier = QStringLiteral("cashier");
inline const QString hour = QStringLiteral("hour");   // 0-23; -1 for a time the program did not write
inline const QString receipts = QStringLiteral("receipts");
inline const QString lines = QStringLiteral("lines");
inline const QString items = QStringLiteral("items");
inline const QString takings = QStringLiteral("takings");
inline const QString firstLine = QStringLiteral("first_line");
inline const QString firstTime = QStringLiteral("first_time");
inline const QString lastLine = QStringLiteral("last_line");
inline const QString lastTime = QStringLiteral("last_time");
inline const QString doubtful = QStringLiteral("doubtful");
} // namespace DaySummary

// Each product's lines summed by sale date and till, for the report's top lists.
namespace ProductDaySummary {
inline const QString table = QStringLiteral("product_day_summary");
inline const QString date = QStringLiteral("sale_date");
using Common::till;
inline const QString code = QStringLiteral("code");
inline const QString name = QStringLiteral("name");
inline const QString lines = QStringLiteral("lines");
inline const QString quantity = QStringLiteral("quantity");
inline const QString takings = QStringLiteral("takings");
} // namespace ProductDaySummary

// The same sums by month ("2026-12") and till, so that a report over many
// months reads a row a product and month. Only real dates written as
// yyyy-MM-dd are in it; a date written otherwise (a file from another tool)
// leaves a row of an empty month instead, and reports then read the days.
namespace ProductMonthSummary {
inline const QString table = QStringLiteral("product_month_summary");
inline const QString month = QStringLiteral("sale_month");
using Common::till;
inline const QString code = QStringLiteral("code");
inline const QString name = QStringLiteral("name");
inline const QString lines = QStringLiteral("lines");
inline const QString quantity = QStringLiteral("quantity");
inline const QString takings = QStringLiteral("takings");
} // namespace ProductMonthSummary

// What each payment method took by sale date and till, summed from the
// payments of the day's receipts (a refund's negative amount included), so
// that takings by method are read with the rest of the day's summary.
namespace PaymentDaySummary {
inline const QString table = QStringLiteral("payment_day_summary");
inline const QString date = QStringLiteral("sale_date");
using Common::till;
inline const QString method = QStringLiteral("method");
inline const QString amount = QStringLiteral("amount");
inline const QString changeGiven = QStringLiteral("change_given");
} // namespace PaymentDaySummary
// The ways a sale can be paid: the built-in ones and the shop's own.
namespace PaymentMethods {
inline const QString table = QStringLiteral("payment_methods");
using Common::number;
inline const QString name = QStringLiteral("name");
inline const QString givesChange = QStringLiteral("gives_change");
inline const QString position = QStringLiteral("position");
inline const QString enabled = QStringLiteral("enabled");
} // namespace PaymentMethods

// How each recorded sale was paid: one row per method used, the amount as
// exact decimal text and the change given from it.
namespace Payments {
inline const QString table = QStringLiteral("payments");
using Common::key;
inline const QString receiptNumber = QStringLiteral("receipt_number");
using Common::till;
inline const QString method = QStringLiteral("method");
inline const QString amount = QStringLiteral("amount");
inline const QString changeGiven = QStringLiteral("change_given");
// 0: cash at a sale completed without an amount received, whose receipt shows none.
inline const QString shown = QStringLiteral("shown");
} // namespace Payments

// The cash put in a till's drawer before its first sale (备用金), until the
// Z report that counts it.
namespace CashFloats {
inline const QString table = QStringLiteral("cash_floats");
using Common::key;
using Common::till;
inline const QString setAt = QStringLiteral("set_at");
inline const QString amount = QStringLiteral("amount");
inline const QString closing = QStringLiteral("closing");
} // namespace CashFloats

// What was taken back or given away at a till, for the owner to read:
// lines deleted, a sale emptied, prices changed, discounts, the drawer
// opened without a sale, reprints, Z reports, returns. Rows are only ever
// added (the database refuses a change or a deletion); amounts are exact
// decimal text.
namespace AuditLog {
inline const QString table = QStringLiteral("audit_log");
using Common::key;
inline const QString loggedAt = QStringLiteral("logged_at");   // yyyy-MM-dd HH:mm:ss
using Common::till;
inline const QString cashier = QStringLiteral("cashier");
inline const QString kind = QStringLiteral("kind");
inline const QString receiptNumber = QStringLiteral("receipt_number");
inline const QString lines = QStringLiteral("lines");
inline const QString amount = QStringLiteral("amount");
} // namespace AuditLog

// Each record line of a return, and the sold line it takes back (none for a
// return without a receipt, which the owner's PIN allowed).
namespace ReturnedLines {
inline const QString table = QStringLiteral("returned_lines");
inline const QString recordLine = QStringLiteral("record_line");
inline const QString soldLine = QStringLiteral("sold_line");
inline const QString soldReceipt = QStringLiteral("sold_receipt");
using Common::till;
inline const QString withoutReceipt = QStringLiteral("without_receipt");
} // namespace ReturnedLines

// The shop's cashiers when each signs in at the till: a number to sign in
// with, the name that goes on receipts and records, the PIN as a salted slow
// hash ("salt:hash", hex), and whether the cashier may still sign in.
namespace Cashiers {
inline const QString table = QStringLiteral("cashiers");
inline const QString number = QStringLiteral("number");
inline const QString name = QStringLiteral("name");
inline const QString pinHash = QStringLiteral("pin_hash");
inline const QString active = QStringLiteral("active");
} // namespace Cashiers

// On a server only: the layout, in place of the file's user_version.
namespace LayoutVersion {
inline const QString table = QStringLiteral("layout_version");
inline const QString version = QStringLiteral("version");
} // namespace LayoutVersion

// An import's temporary table: the file's good rows, by line.
namespace ImportedRows {
inline const QString table = QStringLiteral("imported_rows");
inline const QString line = QStringLiteral("line");
inline const QString code = QStringLiteral("code");
inline const QString name = QStringLiteral("name");
inline const QString price = QStringLiteral("price");
inline const QString value = QStringLiteral("value");
} // namespace ImportedRows

// A till's own copy: the sales it completed while the server was away, in
// the order they were made, until the server has them.
namespace Outbox {
inline const QString table = QStringLiteral("outbox");
using Common::key;
inline const QString receiptNumber = QStringLiteral("receipt_number");
inline const QString queuedAt = QStringLiteral("queued_at");
} // namespace Outbox

// On the server: every sale a till sent from its outbox, once by till and number.
namespace SentSales {
inline const QString table = QStringLiteral("sent_sales");
using Common::till;
inline const QString receiptNumber = QStringLiteral("receipt_number");
inline const QString sentAt = QStringLiteral("sent_at");
} // namespace SentSales

// Every movement of a product's quantity (a sale's line, a return's, goods
// received, a stock-take's adjustment, a correction), only ever added.
// Quantities are whole thousandths of the unit, so that weighed goods sum
// exactly; a unit cost is exact decimal text in 元.
namespace StockMovements {
inline const QString table = QStringLiteral("stock_movements");
using Common::key;
inline const QString kind = QStringLiteral("kind");           // StockKind's number
inline const QString code = QStringLiteral("code");
inline const QString quantity = QStringLiteral("quantity_milli");
inline const QString unitCost = QStringLiteral("unit_cost");
inline const QString movedAt = QStringLiteral("moved_at");    // yyyy-MM-dd HH:mm:ss
using Common::till;
inline const QString cashier = QStringLiteral("cashier");
inline const QString document = QStringLiteral("document");   // a stock document's number; NULL for a sale's
inline const QString receiptNumber = QStringLiteral("receipt_number");   // a sale's or return's; NULL otherwise
} // namespace StockMovements

// Each product's on hand as the database keeps it on every movement, with
// the shop's reorder level and the last cost price received.
namespace StockLevels {
inline const QString table = QStringLiteral("stock_levels");
inline const QString code = QStringLiteral("code");
inline const QString onHand = QStringLiteral("on_hand_milli");
inline const QString reorderLevel = QStringLiteral("reorder_milli");   // NULL: none set
inline const QString lastCost = QStringLiteral("last_cost");           // NULL: never received
} // namespace StockLevels

// The stock documents that are no sale: a receipt of goods, a stock-take, a correction.
namespace StockDocuments {
inline const QString table = QStringLiteral("stock_documents");
using Common::number;
inline const QString kind = QStringLiteral("kind");
inline const QString madeAt = QStringLiteral("made_at");
using Common::till;
inline const QString cashier = QStringLiteral("cashier");
inline const QString note = QStringLiteral("note");
} // namespace StockDocuments

} // namespace Tables
