#pragma once

#include <QLineEdit>

// A one-line edit box. keyDown is announced before the box handles the key.
class TFlatEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TFlatEdit(QWidget *parent = nullptr);

    void setColorFlat(const QColor &color);

signals:
    void keyDown(int key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
