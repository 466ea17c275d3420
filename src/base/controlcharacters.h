#pragma once

#include <QString>

// Control characters (C0 U+0000–U+001F, DEL U+007F and C1 U+0080–U+009F)
// carry no meaning in anything the shop types, scans or stores: a scanner
// puts a GS between the parts of a GS1 code, and a raw receipt printer takes
// such bytes as commands (open the drawer, cut, reset). Text is cleaned of
// them wherever it enters a lookup, a stored code or a receipt.
namespace ControlCharacters {

bool isControl(QChar c);

// The text without any control character.
QString removed(const QString &text);

// The same, but keeping the four the printer text device handles itself
// and never sends on: LF and CR (line ends), TAB (tab stops), FF (new page).
QString removedExceptLayout(const QString &text);

} // namespace ControlCharacters
