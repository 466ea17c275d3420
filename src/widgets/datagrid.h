#pragma once

#include "widgets/querytablemodel.h"

#include <QTableView>

class Query;

// Colours a grid: the cells, and the fixed title row and row marker column.
// Through the palette, not a style sheet: with a style sheet every drawing of
// the titles leaves new entries in the style's caches.
void setGridColors(QTableView *grid, const QColor &cells, const QColor &fixed);

// A read-only grid over an open result set. The grid's selected row is the
// set's current row and follows it both ways.
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DataGrid(QWidget *parent = nullptr);

    void setQuery(Query *query, const QList<QueryTableModel::Column> &columns);
    QueryTableModel *queryModel() const { return m_model; }
    void setColors(const QColor &cells, const QColor &fixed);

signals:
    void titleClicked(const QString &field);
    void cellClicked();
    // Enter while the grid has the focus; the window decides what it does.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void scheduleFollow();
    void followQuery();

    Query *m_query = nullptr;
    QueryTableModel *m_model = nullptr;
    bool m_syncing = false;
    bool m_followPending = false;
};
