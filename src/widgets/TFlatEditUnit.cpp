#include "TFlatEditUnit.h"

#include <QKeyEvent>

TFlatEdit::TFlatEdit(QWidget *parent)
    : QLineEdit(parent)
{
}

void TFlatEdit::setColorFlat(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void TFlatEdit::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key());
    QLineEdit::keyPressEvent(event);
}
