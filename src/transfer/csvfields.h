#pragma once

#include "transfer/csvreader.h"

#include <QList>
#include <QString>
#include <QStringList>

class QFile;

// The rules every import reads a CSV file's fields by, so that a product
// list and a goods receipt treat the same file alike.
namespace CsvFields {

// Blanks (full-width ones too), a stray BOM and control characters around a
// field are no part of it.
QString trimmed(const QString &text);
// A column title as compared: no blanks, lower case, no remark in brackets.
QString titleKey(const QString &title);
// The titles a column of product codes goes by.
const QStringList &codeTitles();
// The export's guard against spreadsheet formulas ('=…) taken off again.
QString withoutFormulaGuard(const QString &text);
// Control characters other than tabs and line breaks dropped.
QString withoutStrayControls(const QString &text);
// A field as stored: in quotes as it stands, else trimmed; a code never
// keeps blanks around it nor a control character.
QString field(const CsvReader &reader, const QStringList &fields, int column, bool isCode);
// Whether a byte sequence was no character of the file's encoding.
bool undecodable(const QStringList &fields);
// Why such a row is refused: "字节不是有效的 UTF-8".
QString undecodableReason(const CsvFormat &format);
bool allBlank(const QStringList &fields);
// The column (from 0) each role's titles name in a title row, -1 where none
// does; a column serves the first role whose titles it matches.
QList<int> columnsByTitle(const QStringList &titleRow, const QList<QStringList> &titlesOfRoles);
// Refuses a first row that cannot be read: the titles that would say which
// column holds what ("编码、品名和单价") are not known.
void refuseUnreadableTitles(const CsvReader &reader, const CsvFormat &format, const QString &columns);
// Opens the file for reading; throws FileError.
QFile *openFile(QFile &file);
// The file's first row that is not blank (its titles, if it has them), and
// the format it is read in; refuses a row that cannot be read, naming the
// columns ("编码、品名和单价") that then cannot be told apart.
QStringList firstRow(const QString &path, CsvFormat *format, const QString &columns);

} // namespace CsvFields
