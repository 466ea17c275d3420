#include "cataloguegrid.h"

#include "widgets/datagrid.h"

#include "windows/cataloguemodel.h"
#include "widgets/apperrorbox.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <functional>

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Every change of the current cell passes here, whether it comes from a
// click, an arrow key, a drag or the program: a change of row first asks
// whether the row being left may be left.
class RowLeavingGuard final : public QItemSelectionModel
{
public:
    RowLeavingGuard(QAbstractItemModel *model, std::function<bool(int)> mayMoveTo, QObject *parent)
        : QItemSelectionModel(model, parent)
        , m_mayMoveTo(std::move(mayMoveTo))
    {
    }

    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override
    {
        if (index.isValid() && index.row() != currentIndex().row() && !m_mayMoveTo(index.row()))
            return;
        QItemSelectionModel::setCurrentIndex(index, command);
    }

    void select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command) override
    {
        // After a refused move the click still asks to select the cell it hit;
        // the selection stays with the current row.
        const int row = currentIndex().row();
        if (row >= 0)
            for (const QItemSelectionRange &range : selection)
                if (range.top() != row || range.bottom() != row)
                    return;
        QItemSelectionModel::select(selection, command);
    }

    using QItemSelectionModel::select;

private:
    std::function<bool(int)> m_mayMoveTo;
};

// Enter in a cell editor belongs to the window, not to the editor: the
// editor neither closes nor commits by itself on Enter.
class CellDelegate final : public QStyledItemDelegate
{
public:
    CellDelegate(std::function<void()> onEnter, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_onEnter(std::move(onEnter))
    {
    }

protected:
    bool eventFilter(QObject *editor, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent *>(event)->key())) {
            m_onEnter();
            return true;
        }
        // A message box about the row does not end its editing: the editor
        // stays open and has the focus again once the box is answered.
        if (event->type() == QEvent::FocusOut) {
            const QWidget *to = QApplication::focusWidget();
            if (to && to->window()->isModal() && to->window() != static_cast<QWidget *>(editor)->window())
                return false;
        }
        return QStyledItemDelegate::eventFilter(editor, event);
    }

private:
    std::function<void()> m_onEnter;
};

} // namespace

CatalogueGrid::CatalogueGrid(QWidget *parent)
    : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                    | QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setItemDelegate(new CellDelegate([this] { emit enterPressed(); }, this));
    // Uniform rows keep a list of a hundred thousand products quick.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(22);
    verticalHeader()->setFixedWidth(16);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (m_model)
            emit titleClicked(m_model->field(section));
    });
}

void CatalogueGrid::setCatalogue(CatalogueModel *model)
{
    m_model = model;
    setModel(model);
    QItemSelectionModel *plain = selectionModel();
    setSelectionModel(new RowLeavingGuard(model, [this](int row) { return mayMoveTo(row); }, this));
    delete plain;
}

void CatalogueGrid::setColors(const QColor &cells, const QColor &fixed)
{
    setGridColors(this, cells, fixed);
}

void CatalogueGrid::commitOpenEditor()
{
    if (state() != EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex()))
        commitData(editor);
}

void CatalogueGrid::finishEditing()
{
    if (state() != EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CatalogueGrid::goTo(int row, int column)
{
    if (!m_model || row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, qBound(0, column, m_model->columnCount() - 1));
    setCurrentIndex(index);
    scrollTo(index);
}

bool CatalogueGrid::mayMoveTo(int row)
{
    if (!m_model || m_model->isChangingRows())
        return true;
    commitOpenEditor();
    bool written = false;
    AppBoxes::guarded([&] {
        m_model->leaveFor(row);
        written = true;
    });
    return written;
}

void CatalogueGrid::keyPressEvent(QKeyEvent *event)
{
    if (isEnter(event->key())) {
        emit enterPressed();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
