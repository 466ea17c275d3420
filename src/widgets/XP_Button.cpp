#include "XP_Button.h"

TXP_Button::TXP_Button(const QString &caption, QWidget *parent)
    : QToolButton(parent)
{
    setText(caption);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(32, 32));
}
