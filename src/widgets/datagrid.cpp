#include "datagrid.h"

#include "storage/query.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    verticalHeader()->setDefaultSectionSize(22);
    verticalHeader()->setFixedWidth(12);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (m_model)
            emit titleClicked(m_model->fieldAt(section));
    });
}

void DataGrid::setQuery(Query *query, const QList<QueryTableModel::Column> &columns)
{
    m_query = query;
    m_model = new QueryTableModel(query, columns, this);
    setModel(m_model);
    connect(query, &Query::currentRowChanged, this, &DataGrid::scheduleFollow);
    connect(query, &Query::reset, this, &DataGrid::scheduleFollow);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!m_syncing && current.isValid() && m_query->isOpen())
                    m_query->setCurrentRow(current.row());
            });
}

// A walk over the set moves its current row many times in one handler; the
// grid catches up once, when the handler is done.
void DataGrid::scheduleFollow()
{
    if (m_syncing || m_followPending)
        return;
    m_followPending = true;
    QMetaObject::invokeMethod(this, &DataGrid::followQuery, Qt::QueuedConnection);
}

void DataGrid::followQuery()
{
    m_followPending = false;
    if (!selectionModel() || !m_query || !m_query->isOpen())
        return;
    const int row = m_query->currentRow();
    m_syncing = true;
    const int column = qMax(0, currentIndex().column());
    if (row >= 0 && row < m_model->rowCount()) {
        const QModelIndex index = m_model->index(row, column);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }
    m_syncing = false;
}

namespace {

// Titles and row markers drawn flat in the fixed colour, with a line in the
// grid's line colour to the right and below, instead of the style's shaded
// (gradient) face.
class FlatTitleStyle final : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element != CE_HeaderSection && element != CE_HeaderEmptyArea) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const QRect r = option->rect;
        painter->save();
        painter->fillRect(r, option->palette.color(QPalette::Button));
        painter->setPen(option->palette.color(QPalette::Mid));
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        if (element == CE_HeaderSection)
            painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
    }
};

QStyle *flatTitleStyle()
{
    // One for every grid, living as long as the application.
    static QPointer<QStyle> style;
    if (!style) {
        style = new FlatTitleStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

} // namespace

void setGridColors(QTableView *grid, const QColor &cells, const QColor &fixed)
{
    QPalette p = grid->palette();
    p.setColor(QPalette::Base, cells);
    grid->setPalette(p);
    // The titles, the row markers and the corner button between them.
    QList<QWidget *> fixedParts{grid->horizontalHeader(), grid->verticalHeader()};
    for (QAbstractButton *corner : grid->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly))
        fixedParts << corner;
    for (QWidget *part : fixedParts) {
        part->setStyle(flatTitleStyle());
        QPalette h = part->palette();
        h.setColor(QPalette::Button, fixed);
        h.setColor(QPalette::Window, fixed);
        part->setPalette(h);
    }
}

void DataGrid::setColors(const QColor &cells, const QColor &fixed)
{
    setGridColors(this, cells, fixed);
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DataGrid::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        emit cellClicked();
}
