#include "flatcombobox.h"

#include "widgets/colors.h"
#include "widgets/bevel.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QProxyStyle>
#include <QStringListModel>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int kButton = FlatComboBox::kButtonWidth;

// Tells the combo box where its own parts lie: the text field inside the flat
// rings and the narrow arrow button at the right (for clicks that open the list).
class FlatComboStyle final : public QProxyStyle
{
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        if (control == CC_ComboBox) {
            const QRect r = option->rect;
            switch (part) {
            case SC_ComboBoxEditField:
                // Never reaches the flat button.
                return QRect(r.left() + 3, r.top() + 3, r.width() - kButton - 8, r.height() - 6);
            case SC_ComboBoxArrow:
                return QRect(r.right() - kButton - 1, r.top(), kButton + 2, r.height());
            case SC_ComboBoxFrame:
                return r;
            default:
                break;
            }
        }
        return QProxyStyle::subControlRect(control, option, part, widget);
    }
};

// List rows at least the combo's item height tall.
class ItemHeightDelegate final : public QStyledItemDelegate
{
public:
    ItemHeightDelegate(const FlatComboBox *combo, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_combo(combo)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), m_combo->itemHeight()));
        return size;
    }

private:
    const FlatComboBox *m_combo;
};

// One-pixel outline of r, inside r.
void outline(QPainter &painter, const QRect &r, const QColor &color)
{
    drawBevelFrame(painter, r, color, color, 1);
}

// The small triangle: five, three and one pixels, pointing down or, flipped, up.
void triangle(QPainter &painter, const QPoint &centre, bool up, const QColor &color)
{
    const int widest = up ? centre.y() + 1 : centre.y() - 1;
    const int tip = up ? centre.y() - 1 : centre.y() + 1;
    painter.fillRect(QRect(centre.x() - 2, widest, 5, 1), color);
    painter.fillRect(QRect(centre.x() - 1, centre.y(), 3, 1), color);
    painter.fillRect(QRect(centre.x(), tip, 1, 1), color);
}

} // namespace

FlatComboBox::FlatComboBox(QWidget *parent)
    : QComboBox(parent)
    , m_model(new QStringListModel)
    , m_color(Colors::flatFace)
    , m_colorArrow(Qt::black)
    , m_colorArrowBackground(Colors::flatPressed)
    , m_colorBorder(Colors::flatBorder)
{
    auto *style = new FlatComboStyle;
    style->setParent(this);
    setStyle(style);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(this, &QObject::destroyed, m_model, &QObject::deleteLater);
    useModel(m_model);
    setCurrentIndex(-1);
    setMaxVisibleItems(8);
    // A long list is shown with uniform rows, so it does not measure every entry.
    auto *list = new QListView(this);
    list->setUniformItemSizes(true);
    setView(list);
    setItemDelegate(new ItemHeightDelegate(this, this));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // The list's window tells when the list opens and closes.
    view()->window()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this] {
        // Leaving the box with the text of an entry is no choice from the list.
        if (!m_leaving)
            emit selectionChanged();
    });
    applyColors();
}

FlatComboBox::EditState FlatComboBox::editState() const
{
    const QLineEdit *edit = lineEdit();
    if (!edit)
        return {currentText()};
    return {currentText(), edit->cursorPosition(), edit->selectionStart(), int(edit->selectionLength())};
}

void FlatComboBox::restoreEditState(const EditState &state)
{
    setCurrentIndex(-1);
    setEditText(state.text);
    QLineEdit *edit = lineEdit();
    if (!edit)
        return;
    if (state.selectionStart >= 0 && state.selectionLength > 0) {
        // Selected from the start or the end, as it was.
        if (state.cursor == state.selectionStart)
            edit->setSelection(state.selectionStart + state.selectionLength, -state.selectionLength);
        else
            edit->setSelection(state.selectionStart, state.selectionLength);
    } else {
        edit->setCursorPosition(state.cursor);
    }
}

void FlatComboBox::useModel(QAbstractItemModel *model)
{
    if (QAbstractItemModel *old = QComboBox::model(); old && old != model)
        disconnect(old, nullptr, this, nullptr);
    const EditState state = editState();
    setModel(model);
    restoreEditState(state);
    // The list may change under the cashier's hands (another till saved a
    // product): the text, the cursor and a selection stay as they were. The
    // box's own handling of a reset comes first and picks an entry.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_keptEdit = editState(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { restoreEditState(m_keptEdit); });
}

void FlatComboBox::setItems(const QStringList &items)
{
    if (QComboBox::model() != m_model)
        useModel(m_model);
    m_model->setStringList(items);
}

void FlatComboBox::setListModel(QAbstractItemModel *model)
{
    if (QComboBox::model() != model)
        useModel(model);
}

QStringList FlatComboBox::items() const
{
    QAbstractItemModel *list = QComboBox::model();
    while (list->canFetchMore({}))
        list->fetchMore({});
    QStringList out;
    out.reserve(list->rowCount());
    for (int row = 0; row < list->rowCount(); ++row)
        out << list->index(row, modelColumn()).data().toString();
    return out;
}

void FlatComboBox::clearAll()
{
    if (QComboBox::model() != m_model)
        useModel(m_model);
    m_model->setStringList({});
    setCurrentIndex(-1);
    setEditText(QString());
}

void FlatComboBox::setColor(const QColor &color)
{
    m_color = color;
    applyColors();
    update();
}

void FlatComboBox::setColorArrow(const QColor &color)
{
    m_colorArrow = color;
    update();
}

void FlatComboBox::setColorArrowBackground(const QColor &color)
{
    m_colorArrowBackground = color;
    update();
}

void FlatComboBox::setColorBorder(const QColor &color)
{
    m_colorBorder = color;
    update();
}

void FlatComboBox::setDerivedColors(bool use)
{
    if (use == m_derivedColors)
        return;
    m_derivedColors = use;
    recomputeDerived();
    update();
}

void FlatComboBox::setBorderDarkening(int percent)
{
    m_borderDarkening = std::clamp(percent, 0, 100);
    recomputeDerived();
    update();
}

void FlatComboBox::setArrowBackgroundDarkening(int percent)
{
    m_arrowBackgroundDarkening = std::clamp(percent, 0, 100);
    recomputeDerived();
    update();
}

QColor FlatComboBox::parentsColor() const
{
    const QWidget *parent = parentWidget();
    return parent ? parent->palette().color(parent->backgroundRole()) : palette().color(QPalette::Window);
}

void FlatComboBox::recomputeDerived()
{
    if (!m_derivedColors)
        return;
    // From the parent's colour, not the box's own: the button matches what surrounds the box.
    const QColor base = parentsColor();
    m_colorBorder = adjustLightness(base, m_colorBorder, m_borderDarkening, LightnessDirection::Darker);
    m_colorArrowBackground = adjustLightness(base, m_colorArrowBackground, m_arrowBackgroundDarkening,
                                             LightnessDirection::Darker);
}

void FlatComboBox::setItemHeight(int height)
{
    if (height <= 0 || height == m_itemHeight)
        return;
    m_itemHeight = height;
    // Uniform rows cache their size; a new delegate hint makes the list measure again.
    view()->doItemsLayout();
}

void FlatComboBox::applyColors()
{
    // The field (the inner edit inherits it) and the open list show the box's colour.
    QPalette p = palette();
    p.setColor(QPalette::Base, m_color);
    setPalette(p);
    QPalette listPalette = view()->palette();
    listPalette.setColor(QPalette::Base, m_color);
    listPalette.setColor(QPalette::Window, m_color);
    view()->setPalette(listPalette);
}

QRect FlatComboBox::arrowButtonRect() const
{
    return QRect(width() - kButton - 2, 0, kButton + 2, height());
}

void FlatComboBox::drawArrowButton(QPainter &painter) const
{
    const QRect button = arrowButtonRect();
    painter.fillRect(button, m_colorArrowBackground);
    outline(painter, button, m_colorBorder);
    const QPoint centre(button.left() + button.width() / 2, button.top() + button.height() / 2);
    if (isEnabled()) {
        triangle(painter, centre, m_listOpen, m_colorArrow);
    } else {
        triangle(painter, centre + QPoint(1, 1), m_listOpen, Qt::white);
        triangle(painter, centre, m_listOpen, Colors::grey);
    }
}

void FlatComboBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // The field up to the rings; the inner edit draws the text over it.
    p.fillRect(QRect(0, 0, width() - kButton - 4, height()), m_color);
    // Border and two rings in the box's colour, around everything but the button.
    QRect ring = rect().adjusted(0, 0, -(kButton + 1), 0);
    outline(p, ring, m_colorBorder);
    ring.adjust(1, 1, -1, -1);
    outline(p, ring, m_color);
    ring.adjust(1, 1, -1, -1);
    outline(p, ring, m_color);
    drawArrowButton(p);
}

bool FlatComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view()->window()) {
        if (event->type() == QEvent::Show && !m_listOpen) {
            m_listOpen = true;
            update(arrowButtonRect());
        } else if (event->type() == QEvent::Hide && m_listOpen) {
            m_listOpen = false;
            update(arrowButtonRect().adjusted(-2, 0, 0, 0));
        }
    }
    return QComboBox::eventFilter(watched, event);
}

FlatComboBox::OpenListKey FlatComboBox::keyInOpenList(const QKeyEvent &event) const
{
    const bool alt = event.modifiers() & Qt::AltModifier;
    switch (event.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return OpenListKey::Kept;   // a scanner's Shift before a capital letter
    case Qt::Key_Escape:
    case Qt::Key_F4:
        return OpenListKey::ClosesList;
    case Qt::Key_Up:
    case Qt::Key_Down:
        return alt ? OpenListKey::ClosesList : OpenListKey::Kept;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return OpenListKey::Kept;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // With nothing highlighted Enter looks the box's text up, as ever.
        return view()->currentIndex().isValid() ? OpenListKey::Kept : OpenListKey::GoesToBox;
    default:
        return OpenListKey::GoesToBox;
    }
}

void FlatComboBox::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key());
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void FlatComboBox::focusOutEvent(QFocusEvent *event)
{
    m_leaving = true;
    QComboBox::focusOutEvent(event);
    m_leaving = false;
}

void FlatComboBox::changeEvent(QEvent *event)
{
    QComboBox::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        m_itemHeight = 13;
        view()->doItemsLayout();
        break;
    case QEvent::PaletteChange:
        // The parent's colour or the system colours changed.
        if (m_derivedColors) {
            recomputeDerived();
            update();
        }
        break;
    default:
        break;
    }
}
