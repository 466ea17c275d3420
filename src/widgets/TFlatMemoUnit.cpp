#include "TFlatMemoUnit.h"

#include <QKeyEvent>

TFlatMemo::TFlatMemo(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
}

void TFlatMemo::setColorFlat(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void TFlatMemo::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key());
    QPlainTextEdit::keyPressEvent(event);
}
