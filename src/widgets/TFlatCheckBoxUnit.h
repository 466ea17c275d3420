#pragma once

#include <QCheckBox>

class TFlatCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit TFlatCheckBox(const QString &caption, QWidget *parent = nullptr);
};
