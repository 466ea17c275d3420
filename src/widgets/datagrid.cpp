#include "datagrid.h"

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
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DataGrid::titleClicked);
}

void DataGrid::setCurrentRow(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    m_askedRow = model()->index(row, 0);
    if (m_showPosted)
        return;
    m_showPosted = true;
    QMetaObject::invokeMethod(this, &DataGrid::showAskedRow, Qt::QueuedConnection);
}

int DataGrid::currentRow() const
{
    return m_askedRow.isValid() ? m_askedRow.row() : currentIndex().row();
}

void DataGrid::showAskedRow()
{
    m_showPosted = false;
    if (!m_askedRow.isValid() || !selectionModel())
        return;
    const QModelIndex asked = m_askedRow.sibling(m_askedRow.row(), qMax(0, currentIndex().column()));
    m_showing = true;
    selectionModel()->setCurrentIndex(asked, QItemSelectionModel::ClearAndSelect);
    m_showing = false;
    m_askedRow = QPersistentModelIndex();
}

// A row the cashier makes current (a click, an arrow key) replaces one asked for.
void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_showing && current.isValid())
        m_askedRow = QPersistentModelIndex();
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
