#pragma once

#include <QTableView>

// Colours a grid: the cells, and the fixed title row and row marker column.
// Through the palette, not a style sheet: with a style sheet every drawing of
// the titles leaves new entries in the style's caches.
void setGridColors(QTableView *grid, const QColor &cells, const QColor &fixed);

// A read-only grid over any table model (setModel). Which row is current is
// its selection's, as the window that shows it decides.
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DataGrid(QWidget *parent = nullptr);

    // Makes the row current and selected, in the column that is current (the
    // first when none is); nothing for a row the model lacks. The grid
    // catches up once the handler that asks is done, laying itself out once
    // for all its changes; until then currentRow() is that row (wherever a
    // sort moves it; -1 once it is removed and no row is current).
    void setCurrentRow(int row);
    int currentRow() const;
    void setColors(const QColor &cells, const QColor &fixed);

signals:
    void titleClicked(int column);
    void cellClicked();
    // Enter while the grid has the focus; the window decides what it does.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void showAskedRow();

    QPersistentModelIndex m_askedRow;
    bool m_showPosted = false;
    bool m_showing = false;
};
