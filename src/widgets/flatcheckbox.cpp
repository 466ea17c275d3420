#include "flatcheckbox.h"

#include "widgets/bevel.h"

#include "widgets/colors.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// One watch for every check box of the program.
SharedHoverWatch &hoverWatch()
{
    static SharedHoverWatch watch;
    return watch;
}

// A one-pixel line that leaves out its end point, like every line of the tick.
void plotLine(QPainter &painter, QPoint from, const QPoint &to, const QColor &color)
{
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int sx = from.x() < to.x() ? 1 : -1;
    const int sy = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    while (from != to) {
        painter.fillRect(QRect(from, QSize(1, 1)), color);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            from.rx() += sx;
        }
        if (twice <= dx) {
            error += dx;
            from.ry() += sy;
        }
    }
}

} // namespace

FlatCheckBox::FlatCheckBox(const QString &caption, QWidget *parent)
    : QAbstractButton(parent)
    , m_colors(Qt::white, Colors::flatPressed, Colors::flatBorder)
    , m_colorCheck(Qt::black)
{
    hoverWatch().join();
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setProperty("marksOwnFocus", true);   // the dotted frame round the caption
    setMouseTracking(true);
    resize(121, 17);
    setText(caption);
    // A change made by the program counts as a click as much as one made by the user.
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        emit clicked(checked);
        updateBox();
    });
}

FlatCheckBox::~FlatCheckBox()
{
    hoverWatch().leave(this);
}

QColor FlatCheckBox::color() const
{
    return m_colors.base(this);
}

void FlatCheckBox::setColor(const QColor &color)
{
    m_colors.setColor(color);
    update();
}

void FlatCheckBox::setFollowsParentColor(bool on)
{
    m_colors.setFollowsParentColor(on, this);
    update();
}

void FlatCheckBox::setColorFocused(const QColor &color)
{
    m_colors.focused = color;
    update();
}

void FlatCheckBox::setColorDown(const QColor &color)
{
    m_colors.down = color;
    update();
}

void FlatCheckBox::setColorCheck(const QColor &color)
{
    m_colorCheck = color;
    update();
}

void FlatCheckBox::setColorBorder(const QColor &color)
{
    m_colors.border = color;
    update();
}

void FlatCheckBox::setFontColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(foregroundRole(), color);
    setPalette(p);
}

void FlatCheckBox::setBoxSide(BoxSide side)
{
    m_boxSide = side;
    update();
}

void FlatCheckBox::setTransparent(bool transparent)
{
    m_transparent = transparent;
    update();
}

void FlatCheckBox::setDerivedColors(bool use)
{
    m_colors.setDerivedColors(use, this);
    update();
}

void FlatCheckBox::setFocusedLightening(int percent)
{
    m_colors.setFocusedLightening(percent, this);
    update();
}

void FlatCheckBox::setDownDarkening(int percent)
{
    m_colors.setDownDarkening(percent, this);
    update();
}

void FlatCheckBox::setBorderDarkening(int percent)
{
    m_colors.setBorderDarkening(percent, this);
    update();
}

QRect FlatCheckBox::boxRect() const
{
    // At the top whatever the control's height, not centred.
    const int left = m_boxSide == BoxSide::Left ? 1 : width() - 12;
    return QRect(left, 3, 11, 11);
}

void FlatCheckBox::updateBox()
{
    update(boxRect());
}

void FlatCheckBox::drawBox(QPainter &painter) const
{
    const QRect box = boxRect();
    QColor fill = m_colors.focused;
    if (!m_focused && !m_hovered)
        fill = color();
    else if (m_pressing)
        fill = m_colors.down;
    painter.fillRect(box, fill);

    if (isChecked()) {
        const QColor tick = isEnabled() ? m_colorCheck : Colors::buttonShadow();
        const QPoint o = box.topLeft();
        plotLine(painter, o + QPoint(2, 4), o + QPoint(6, 8), tick);
        plotLine(painter, o + QPoint(2, 5), o + QPoint(5, 8), tick);
        plotLine(painter, o + QPoint(2, 6), o + QPoint(5, 9), tick);
        plotLine(painter, o + QPoint(8, 2), o + QPoint(4, 6), tick);
        plotLine(painter, o + QPoint(8, 3), o + QPoint(4, 7), tick);
        plotLine(painter, o + QPoint(8, 4), o + QPoint(5, 7), tick);
    }
    drawBevelFrame(painter, box, m_colors.border, m_colors.border, 1);
}

void FlatCheckBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Transparent: nothing is laid down, so the parent and the controls
    // beneath show through as the toolkit composes them.
    if (!m_transparent)
        p.fillRect(rect(), color());
    drawBox(p);

    if (text().isEmpty())
        return;
    p.setFont(font());
    QRect area;
    int flags = Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;
    if (m_boxSide == BoxSide::Left) {
        area = QRect(QPoint(16, 1), QPoint(width() - 2, height() - 2));
        flags |= Qt::AlignLeft;
    } else {
        area = QRect(QPoint(1, 1), QPoint(width() - 17, height() - 2));
        flags |= Qt::AlignRight;
    }
    if (isEnabled()) {
        p.setPen(palette().color(foregroundRole()));
        p.drawText(area, flags, text());
        // The box's tint alone is hardly seen: a dotted frame round the
        // caption says which option Space would change.
        if (m_focused) {
            p.setPen(QPen(palette().color(foregroundRole()), 1, Qt::DotLine));
            p.drawRect(p.boundingRect(area, flags, text()).adjusted(-2, -1, 1, 0) & rect().adjusted(0, 0, -1, -1));
        }
    } else {
        p.setPen(Colors::buttonHighlight());
        p.drawText(area.translated(1, 1), flags, text());
        p.setPen(Colors::buttonShadow());
        p.drawText(area, flags, text());
    }
}

void FlatCheckBox::toggleChecked()
{
    setChecked(!isChecked());
}

void FlatCheckBox::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    setFocus(Qt::MouseFocusReason);
    m_pressing = true;
    updateBox();
}

void FlatCheckBox::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    hoverWatch().pointerMoved(this, event->globalPosition().toPoint());
}

void FlatCheckBox::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !isEnabled() || !m_pressing)
        return;
    m_pressing = false;
    // The whole control is the hit area; a release after the pointer has
    // gone elsewhere changes nothing.
    if (rect().contains(event->position().toPoint()))
        toggleChecked();
    updateBox();
}

void FlatCheckBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click toggles again, as a press of its own.
    mousePressEvent(event);
}

void FlatCheckBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !(event->modifiers() & ~Qt::KeypadModifier)) {
        toggleChecked();
        event->accept();
        return;
    }
    // Everything else goes on as usual (the base class would press the box on Space or move the focus on arrows).
    QWidget::keyPressEvent(event);
}

void FlatCheckBox::keyReleaseEvent(QKeyEvent *event)
{
    QWidget::keyReleaseEvent(event);
}

void FlatCheckBox::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (!isEnabled())
        return;
    m_focused = true;
    update();   // the box and the focus mark round the caption
}

void FlatCheckBox::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (!isEnabled())
        return;
    m_hovered = false;
    m_focused = false;
    hoverWatch().stopWatching(this);
    update();
}

bool FlatCheckBox::event(QEvent *event)
{
    // The caption's accelerator focuses the box and toggles it.
    if (event->type() == QEvent::Shortcut) {
        if (!isEnabled() || !(focusPolicy() & Qt::TabFocus))
            return false;
        setFocus(Qt::ShortcutFocusReason);
        toggleChecked();
        return true;
    }
    // The toolkit's word that the pointer left (a box that came up over the
    // control, a window moved away) ends the hover as the watch's tick would.
    if (event->type() == QEvent::Leave)
        pointerLeft();
    return QAbstractButton::event(event);
}

void FlatCheckBox::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            m_hovered = false;
            m_pressing = false;
            hoverWatch().stopWatching(this);
        }
        update();
        break;
    case QEvent::PaletteChange:
        m_colors.paletteChanged(this);
        update();
        break;
    case QEvent::LayoutDirectionChange:
        setBoxSide(isRightToLeft() ? BoxSide::Right : BoxSide::Left);
        break;
    default:
        break;
    }
}

void FlatCheckBox::pointerEntered()
{
    if (isEnabled() && !m_hovered) {
        m_hovered = true;
        updateBox();
    }
}

void FlatCheckBox::pointerLeft()
{
    if (!isEnabled() || !m_hovered || m_pressing)
        return;
    m_hovered = false;
    hoverWatch().stopWatching(this);
    updateBox();
}
