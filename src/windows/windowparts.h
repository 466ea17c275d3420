#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <functional>

class QLabel;
class QWidget;
class FlatSpeedButton;

// Pieces every window is built from.
namespace WindowParts {

QFont pixelFont(int pixels, bool bold = false, const QString &family = QStringLiteral("MS Sans Serif"));

// A transparent label with its text at the top left, as the screens are laid out.
QLabel *label(QWidget *parent, const QString &text, QRect geometry, const QFont &font,
              const QColor &color = Qt::black);

// A dialog's own heading, in the window's text: big, bold, in the shop's green.
QLabel *heading(QWidget *parent, const QString &text);

// A green action button with a white bold caption ("添加 (F10)", "打印小票 (F12)" …).
FlatSpeedButton *actionButton(QWidget *parent, const QString &caption, QRect geometry);

bool isEnter(int key);

// The window's picture, stretched over the whole client area.
QLabel *picture(QWidget *parent, const QString &resource);

// The title: white text over the same text in black, a little to the right, for a shadow.
void title(QWidget *parent, const QString &text, QLabel **shadow, QLabel **face);

// The frame that lights up over the close mark drawn in the picture's top right corner.
FlatSpeedButton *closeSpot(QWidget *parent);

// "官方网站：" and the product web page's address; a click runs onClick.
QLabel *webLink(QWidget *parent, std::function<void()> onClick);

// Background colour and default font of the window.
void setWindowLook(QWidget *window, const QColor &background, const QFont &font);

// Whether a CSV file may be written at path: nothing is there, a CSV of
// this program's is, or the shop said yes to replacing what is there.
// Throws Refusal for the database and any other database file.
bool mayWriteCsv(QWidget *parent, const QString &path, const QString &databasePath);

} // namespace WindowParts
