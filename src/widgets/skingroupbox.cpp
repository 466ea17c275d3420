#include "skingroupbox.h"

#include "widgets/colors.h"

#include <QEvent>
#include <QKeySequence>
#include <QPainter>

namespace {

// A grey-green frame, a blue caption, a cream fill.
constexpr QColor kFrame{0xD0, 0xD0, 0xBF};
constexpr QColor kCaption{0x02, 0x46, 0xCF};
constexpr QColor kFill{0xF8, 0xF6, 0xE6};

} // namespace

SkinGroupBox::SkinGroupBox(QWidget *parent)
    : QWidget(parent)
    , m_borderColor(kFrame)
    , m_captionColor(kCaption)
    , m_color(kFill)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Controls placed in the box that follow their parent's colour see the fill.
    QPalette p = palette();
    p.setColor(QPalette::Window, m_color);
    setPalette(p);
    resize(185, 105);
}

QSize SkinGroupBox::sizeHint() const
{
    return {185, 105};
}

void SkinGroupBox::setBorderColor(const QColor &color)
{
    if (m_borderColor != color) {
        m_borderColor = color;
        update();
    }
}

void SkinGroupBox::setCaptionColor(const QColor &color)
{
    if (m_captionColor != color) {
        m_captionColor = color;
        update();
    }
}

void SkinGroupBox::setColor(const QColor &color)
{
    if (m_color != color) {
        m_color = color;
        QPalette p = palette();
        p.setColor(QPalette::Window, color);
        setPalette(p);
        update();
    }
}

void SkinGroupBox::setCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    if (m_shortcutId)
        releaseShortcut(m_shortcutId);
    m_shortcutId = grabShortcut(QKeySequence::mnemonic(caption));
    update();
}

bool SkinGroupBox::event(QEvent *event)
{
    // The caption's accelerator brings the focus to the box.
    if (event->type() == QEvent::Shortcut) {
        if (isEnabled() && isVisible())
            setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QWidget::event(event);
}

void SkinGroupBox::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
}

void SkinGroupBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    p.setFont(font());
    const QFontMetrics fm(font());
    const int tw = fm.horizontalAdvance(m_caption);
    const int th = fm.height();

    // The outline covers columns 0 .. W - 1 and rows TH / 2 .. H - 1, with
    // corners of an 8 × 8 ellipse.
    p.setPen(m_borderColor);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRect(0, th / 2, width() - 1, height() - 1 - th / 2), 4, 4);

    // The caption sits on a patch of the fill that cuts the top line, three
    // pixels wider than the text on each side.
    const QRect patch(QPoint(10, 0), QPoint(tw + 16 - 1, th - 1));
    p.fillRect(patch, m_color);
    p.setPen(isEnabled() ? m_captionColor : QColor(128, 128, 128));
    p.drawText(patch, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, m_caption);
}
