#pragma once

#include <QPlainTextEdit>

// A box of several lines of plain text. Enter starts a new line; Tab moves
// the focus on. keyDown is announced before the box handles the key.
class TFlatMemo : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TFlatMemo(QWidget *parent = nullptr);

    void setColorFlat(const QColor &color);

signals:
    void keyDown(int key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
