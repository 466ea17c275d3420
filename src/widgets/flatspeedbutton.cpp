#include "flatspeedbutton.h"

#include "widgets/bevel.h"

#include "widgets/colors.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// One watch for every speed button of the program.
SharedHoverWatch &hoverWatch()
{
    static SharedHoverWatch watch;
    return watch;
}

// Which image of the strip shows in which face state.
int imageIndex(FlatSpeedButton::FaceState state, int images)
{
    using State = FlatSpeedButton::FaceState;
    switch (state) {
    case State::Up: return 0;
    case State::Disabled: return images >= 2 ? 1 : 0;
    case State::Pressed: return images >= 3 ? 2 : 0;
    case State::Latched: return images == 4 ? 3 : images == 3 ? 2 : 0;
    }
    return 0;
}

} // namespace

FlatSpeedButton::FlatSpeedButton(const QString &caption, QWidget *parent)
    : QAbstractButton(parent)
    , m_colors(Colors::flatFace, Colors::flatPressed, Colors::flatBorder)
    , m_colorHighlight(Qt::white)
    , m_colorShadow(Qt::black)
{
    hoverWatch().join();
    // Speed buttons never take the focus from the boxes.
    setFocusPolicy(Qt::NoFocus);
    // Every move over the button counts for the hover look, not only drags.
    setMouseTracking(true);
    resize(25, 25);
    setText(caption);
}

FlatSpeedButton::~FlatSpeedButton()
{
    hoverWatch().leave(this);
}

void FlatSpeedButton::setColors(const QColor &face, const QColor &focused, const QColor &down,
                                 const QColor &border, const QColor &caption)
{
    m_colors.color = face;
    m_colors.followsParentColor = false;
    m_colors.focused = focused;
    m_colors.down = down;
    m_colors.border = border;
    setFontColor(caption);
    update();
}

void FlatSpeedButton::setTransparentFrame(const QColor &frame)
{
    m_transparency = Transparency::Always;
    m_colors.border = frame;
    m_colors.focused = frame;
    m_colors.down = frame;
    m_colorHighlight = frame;
    update();
}

QColor FlatSpeedButton::color() const
{
    return m_colors.base(this);
}

void FlatSpeedButton::setColor(const QColor &color)
{
    m_colors.setColor(color);
    update();
}

void FlatSpeedButton::setFollowsParentColor(bool on)
{
    m_colors.setFollowsParentColor(on, this);
    update();
}

void FlatSpeedButton::setColorFocused(const QColor &color)
{
    m_colors.focused = color;
    update();
}

void FlatSpeedButton::setColorDown(const QColor &color)
{
    m_colors.down = color;
    update();
}

void FlatSpeedButton::setColorBorder(const QColor &color)
{
    m_colors.border = color;
    update();
}

void FlatSpeedButton::setColorHighlight(const QColor &color)
{
    m_colorHighlight = color;
    update();
}

void FlatSpeedButton::setColorShadow(const QColor &color)
{
    m_colorShadow = color;
    update();
}

void FlatSpeedButton::setFontColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::ButtonText, color);
    setPalette(p);
}

void FlatSpeedButton::setTransparency(Transparency transparency)
{
    m_transparency = transparency;
    update();
}

void FlatSpeedButton::setDerivedColors(bool use)
{
    m_colors.setDerivedColors(use, this);
    update();
}

void FlatSpeedButton::setFocusedLightening(int percent)
{
    m_colors.setFocusedLightening(percent, this);
    update();
}

void FlatSpeedButton::setDownDarkening(int percent)
{
    m_colors.setDownDarkening(percent, this);
    update();
}

void FlatSpeedButton::setBorderDarkening(int percent)
{
    m_colors.setBorderDarkening(percent, this);
    update();
}

void FlatSpeedButton::setGroupIndex(int index)
{
    m_groupIndex = index;
    notifyGroup();
}

void FlatSpeedButton::setDown(bool down)
{
    if (m_groupIndex == 0)
        down = false;
    // The last latched button of a group stays down unless the group allows all up.
    if (down == m_down || (m_down && !m_allowAllUp))
        return;
    m_down = down;
    if (down) {
        if (m_state == FaceState::Up)
            update();
        m_state = FaceState::Latched;
        notifyGroup();
    } else {
        m_state = FaceState::Up;
        update();
    }
}

void FlatSpeedButton::setAllowAllUp(bool allow)
{
    m_allowAllUp = allow;
    notifyGroup();
}

void FlatSpeedButton::notifyGroup()
{
    if (m_groupIndex == 0 || !parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<FlatSpeedButton *>(Qt::FindDirectChildrenOnly);
    for (FlatSpeedButton *sibling : siblings)
        sibling->groupButtonPressed(m_groupIndex, this);
}

void FlatSpeedButton::groupButtonPressed(int groupIndex, FlatSpeedButton *sender)
{
    if (groupIndex != m_groupIndex || sender == this)
        return;
    if (sender->m_down && m_down) {
        m_down = false;
        m_state = FaceState::Up;
        update();
    }
    // The whole group shares one "allow all up".
    m_allowAllUp = sender->m_allowAllUp;
}

void FlatSpeedButton::setGlyph(const QImage &glyph)
{
    m_glyph = glyph;
    if (!m_glyph.isNull() && m_glyph.width() % m_glyph.height() == 0) {
        const int images = m_glyph.width() / m_glyph.height();
        m_glyphCount = images > 4 ? 1 : images;
    }
    update();
}

void FlatSpeedButton::setGlyphCount(int count)
{
    count = std::clamp(count, 1, 4);
    if (count == m_glyphCount)
        return;
    m_glyphCount = count;
    update();
}

void FlatSpeedButton::setGlyphLayout(GlyphLayout layout)
{
    if (layout == m_layout)
        return;
    m_layout = layout;
    update();
}

void FlatSpeedButton::setMargin(int margin)
{
    if (margin == m_margin || margin < -1)
        return;
    m_margin = margin;
    update();
}

void FlatSpeedButton::setSpacing(int spacing)
{
    if (spacing == m_spacing)
        return;
    m_spacing = spacing;
    update();
}

void FlatSpeedButton::setModalResult(int result)
{
    m_modalResult = result;
}

QColor FlatSpeedButton::faceFill(bool *fill) const
{
    *fill = true;
    switch (m_transparency) {
    case Transparency::Always:
        break;
    case Transparency::UnlessHovered:
        if (!m_inside)
            break;
        switch (m_state) {
        case FaceState::Up: return m_colors.focused;
        case FaceState::Disabled: return color();
        case FaceState::Pressed: return m_colors.down;
        case FaceState::Latched: return m_colors.focused;
        }
        break;
    case Transparency::Never:
        switch (m_state) {
        case FaceState::Up: return m_inside ? m_colors.focused : color();
        case FaceState::Disabled: return color();
        case FaceState::Pressed: return m_colors.down;
        case FaceState::Latched: return m_inside ? m_colors.focused : m_colors.down;
        }
        break;
    }
    // No fill: what lies beneath the button shows through.
    *fill = false;
    return {};
}

void FlatSpeedButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setFont(font());
    const bool sunk = m_state == FaceState::Pressed || m_state == FaceState::Latched;
    const QPoint pressOffset = sunk ? QPoint(1, 1) : QPoint(0, 0);
    m_placed = layoutGlyphAndCaption(font(), rect(), pressOffset, text(), m_layout, m_margin,
                                     m_spacing, m_glyph, m_glyphCount);

    if (isEnabled()) {
        if (m_state == FaceState::Disabled)
            m_state = m_down && m_groupIndex != 0 ? FaceState::Latched : FaceState::Up;
    } else {
        m_state = FaceState::Disabled;
        m_pressing = false;
    }

    bool fill = false;
    const QColor face = faceFill(&fill);
    if (fill)
        p.fillRect(rect(), face);

    switch (m_state) {
    case FaceState::Up:
        if (m_inside)
            drawBevelFrame(p, rect(), m_colorHighlight, m_colorShadow, 1);
        else
            drawBevelFrame(p, rect(), m_colors.border, m_colors.border, 1);
        break;
    case FaceState::Disabled:
        drawBevelFrame(p, rect(), m_colors.border, m_colors.border, 1);
        break;
    case FaceState::Pressed:
    case FaceState::Latched:
        drawBevelFrame(p, rect(), m_colorShadow, m_colorHighlight, 1);
        break;
    }

    if (!m_glyph.isNull())
        paintGlyph(p, m_placed.glyphTopLeft);

    if (text().isEmpty())
        return;
    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (m_state == FaceState::Disabled) {
        p.setPen(Colors::buttonHighlight());
        p.drawText(m_placed.captionRect.translated(1, 1), flags, text());
        p.setPen(Colors::buttonShadow());
        p.drawText(m_placed.captionRect, flags, text());
    } else {
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(m_placed.captionRect, flags, text());
    }
}

void FlatSpeedButton::paintGlyph(QPainter &painter, const QPoint &at)
{
    const int imageWidth = m_glyph.width() / m_glyphCount;
    const int height = m_glyph.height();
    // The strip's bottom-left pixel names the colour that is left out.
    QRgb transparent = m_glyph.pixel(0, height - 1);
    QImage work = m_glyph.copy(imageIndex(m_state, m_glyphCount) * imageWidth, 0, imageWidth, height);
    if (m_glyphCount == 1 && m_state == FaceState::Disabled) {
        work = makeDisabledGlyph(work);
        transparent = work.pixel(0, height - 1);
    }
    work = work.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < work.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(work.scanLine(y));
        for (int x = 0; x < work.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (transparent & 0xFFFFFF))
                line[x] = 0;
    }
    painter.drawImage(at, work);
}

bool FlatSpeedButton::isInside(const QPoint &pos) const
{
    // The bottom edge row counts as inside.
    return pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
}

void FlatSpeedButton::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    if (!m_down) {
        m_state = FaceState::Pressed;
        update();
    }
    m_pressing = true;
}

void FlatSpeedButton::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (m_pressing) {
        const bool inside = isInside(event->position().toPoint());
        FaceState state = m_down ? FaceState::Latched : inside ? FaceState::Pressed : FaceState::Up;
        if (state != m_state) {
            m_state = state;
            update();
        }
    }
    hoverWatch().pointerMoved(this, event->globalPosition().toPoint());
}

void FlatSpeedButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !m_pressing)
        return;
    m_pressing = false;
    const bool hit = isInside(event->position().toPoint());
    if (m_groupIndex == 0) {
        m_state = FaceState::Up;
        m_inside = false;
        if (hit)
            update();
    } else if (hit) {
        setDown(!m_down);
        if (m_down)
            update();
    } else {
        if (m_down)
            m_state = FaceState::Latched;
        update();
    }
    if (hit)
        runClick();
    else
        pointerLeft();
    refreshTracking();
}

void FlatSpeedButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_down) {
        event->accept();
        emit doubleClicked();
        return;
    }
    // Otherwise the second press of a double click is a press like any other.
    mousePressEvent(event);
}

void FlatSpeedButton::keyPressEvent(QKeyEvent *event)
{
    // Keys are no business of a button without focus; the base class would press it on Space.
    QWidget::keyPressEvent(event);
}

void FlatSpeedButton::keyReleaseEvent(QKeyEvent *event)
{
    QWidget::keyReleaseEvent(event);
}

bool FlatSpeedButton::event(QEvent *event)
{
    // The caption's accelerator clicks at once, without taking the focus.
    if (event->type() == QEvent::Shortcut) {
        if (!isEnabled())
            return false;
        runClick();
        return true;
    }
    // The toolkit's word that the pointer left (a box that came up over the
    // control, a window moved away) ends the hover as the watch's tick would.
    if (event->type() == QEvent::Leave)
        pointerLeft();
    return QAbstractButton::event(event);
}

void FlatSpeedButton::runClick()
{
    if (m_modalResult != 0 && parentWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(window()))
            dialog->done(m_modalResult);
    }
    emit clicked(isChecked());
}

void FlatSpeedButton::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            m_inside = false;
            m_state = FaceState::Disabled;
            hoverWatch().stopWatching(this);
        }
        refreshTracking();
        update();
        break;
    case QEvent::PaletteChange:
        // The parent's colour or the system colours changed.
        m_colors.paletteChanged(this);
        update();
        break;
    default:
        break;
    }
}

void FlatSpeedButton::pointerEntered()
{
    if (isEnabled() && !m_inside) {
        m_inside = true;
        update();
    }
}

void FlatSpeedButton::pointerLeft()
{
    if (!isEnabled() || !m_inside || m_pressing)
        return;
    m_inside = false;
    hoverWatch().stopWatching(this);
    update();
}

void FlatSpeedButton::refreshTracking()
{
    if (!isEnabled())
        return;
    if (QApplication::widgetAt(QCursor::pos()) == this) {
        m_inside = false;
        pointerEntered();
    } else {
        m_inside = true;
        pointerLeft();
    }
}
