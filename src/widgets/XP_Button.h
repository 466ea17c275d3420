#pragma once

#include <QToolButton>

// A button with a picture above its caption.
class TXP_Button : public QToolButton
{
    Q_OBJECT

public:
    explicit TXP_Button(const QString &caption, QWidget *parent = nullptr);
};
