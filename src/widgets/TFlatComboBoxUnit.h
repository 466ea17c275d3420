#pragma once

#include <QComboBox>

class QStringListModel;

// An editable box with a list of entries. The text is free; the list only
// offers choices (no completion, nothing typed is added to the list).
class TFlatComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit TFlatComboBox(QWidget *parent = nullptr);

    // Replaces the whole list at once (fast for a hundred thousand entries).
    void setItems(const QStringList &items);
    QStringList items() const;
    void clearAll();   // empties the text and the list

signals:
    // Announced before the box handles the key. Enter is not passed on, so the
    // box never picks a list entry by itself when Enter is pressed.
    void keyDown(int key);
    // The chosen list entry changed through the list (click or arrow keys);
    // the entry is already in the text.
    void selectionChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QStringListModel *m_model;
};
