#include "TFlatCheckBoxUnit.h"

TFlatCheckBox::TFlatCheckBox(const QString &caption, QWidget *parent)
    : QCheckBox(caption, parent)
{
}
