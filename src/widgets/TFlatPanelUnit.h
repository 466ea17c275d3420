#pragma once

#include <QFrame>

// A plain coloured panel that holds other controls.
class TFlatPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TFlatPanel(QWidget *parent = nullptr);

    void setColor(const QColor &color);
};
