#pragma once

#include <QComboBox>

class QAbstractItemModel;
class QStringListModel;

// An editable box with a list of entries, drawn flat: a one-pixel border, the
// field in the box's colour and a narrow arrow button whose small triangle
// points up while the list is open. The text is free; the list only offers
// choices (no completion, nothing typed is added to the list).
class FlatComboBox final : public QComboBox
{
    Q_OBJECT

public:
    explicit FlatComboBox(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(FlatComboBox)

    // Replaces the whole list at once (fast for a hundred thousand entries).
    void setItems(const QStringList &items);
    // Lists the rows of a model the box does not own (one that reads its
    // rows as the list scrolls) until setItems() or clearAll().
    void setListModel(QAbstractItemModel *model);
    // Every entry, the rows a lazy list has not read yet included.
    QStringList items() const;
    void clearAll();   // empties the text and the list

    // Field, inner rings and list background.
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    QColor colorArrow() const { return m_colorArrow; }
    void setColorArrow(const QColor &color);
    QColor colorArrowBackground() const { return m_colorArrowBackground; }
    void setColorArrowBackground(const QColor &color);
    QColor colorBorder() const { return m_colorBorder; }
    void setColorBorder(const QColor &color);

    // Derive the border and button colours from the parent's colour.
    bool derivedColors() const { return m_derivedColors; }
    void setDerivedColors(bool use);
    int borderDarkening() const { return m_borderDarkening; }
    void setBorderDarkening(int percent);
    int arrowBackgroundDarkening() const { return m_arrowBackgroundDarkening; }
    void setArrowBackgroundDarkening(int percent);

    // Least height of a list row; a font change puts it back to 13.
    int itemHeight() const { return m_itemHeight; }
    void setItemHeight(int height);

    static constexpr int kButtonWidth = 11;
    // The arrow button as drawn, outline included.
    QRect arrowButtonRect() const;
    bool isListOpen() const { return m_listOpen; }

    // What a key does that arrives while the list is open. The open list only
    // moves its highlight; an entry is taken by Enter or a click, never by
    // moving over it. Text, function keys and focus keys belong to the box:
    // a barcode scanned with the list open is the scanned code.
    enum class OpenListKey {
        Kept,         // arrows, page keys, Enter on a highlighted entry: the list's
        ClosesList,   // Esc, Alt+Up, Alt+Down, F4: closes the list, nothing else
        GoesToBox,    // anything else: closes the list, then acts as with the list closed
    };
    OpenListKey keyInOpenList(const QKeyEvent &event) const;

signals:
    // Announced before the box handles the key. Enter is not passed on, so the
    // box never picks a list entry by itself when Enter is pressed.
    void keyDown(int key);
    // The chosen list entry changed through the list (click or arrow keys);
    // the entry is already in the text.
    void selectionChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The text, cursor and selection as they stand, to be put back after the
    // list changed under them.
    struct EditState
    {
        QString text;
        int cursor = 0;
        int selectionStart = -1;
        int selectionLength = 0;
    };
    EditState editState() const;
    void restoreEditState(const EditState &state);
    void useModel(QAbstractItemModel *model);
    void applyColors();
    void recomputeDerived();
    QColor parentsColor() const;
    void drawArrowButton(QPainter &painter) const;

    QStringListModel *m_model;   // the box's own list; not a child, which a model change would delete
    EditState m_keptEdit;
    QColor m_color;
    QColor m_colorArrow;
    QColor m_colorArrowBackground;
    QColor m_colorBorder;
    bool m_derivedColors = false;
    int m_borderDarkening = 50;
    int m_arrowBackgroundDarkening = 10;
    int m_itemHeight = 13;
    bool m_listOpen = false;
    bool m_leaving = false;   // inside focusOutEvent
};
