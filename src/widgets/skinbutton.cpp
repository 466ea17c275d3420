#include "skinbutton.h"

#include "widgets/colors.h"
#include "widgets/buttonskin.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace {

// Enter and Esc reach the skin buttons of the window before the focused
// control, unless that control uses them itself (a multi-line box, a grid
// being edited). One filter serves the whole program.
class DialogKeys final : public QObject
{
public:
    using QObject::QObject;

    static void install()
    {
        static QPointer<DialogKeys> filter;
        if (!filter && qApp) {
            filter = new DialogKeys(qApp);
            qApp->installEventFilter(filter);
        }
    }

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto &key = static_cast<const QKeyEvent &>(*event);
        if (!isDialogKey(key))
            return false;
        QWidget *focus = QApplication::focusWidget();
        QWidget *target = focus ? focus : QApplication::activeWindow();
        // A key travelling up to the parents passes the filter again.
        if (!target || receiver != target || wantsKey(focus))
            return false;
        const QList<SkinButton *> buttons = target->window()->findChildren<SkinButton *>();
        for (SkinButton *button : buttons)
            if (button->dialogKey(key))
                return true;
        return false;
    }

private:
    static bool isDialogKey(const QKeyEvent &key)
    {
        const int k = key.key();
        if (k != Qt::Key_Return && k != Qt::Key_Enter && k != Qt::Key_Escape)
            return false;
        return !(key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    }

    static bool wantsKey(const QWidget *focus)
    {
        for (const QWidget *w = focus; w && !w->isWindow(); w = w->parentWidget()) {
            if (qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QTextEdit *>(w))
                return true;
            if (w != focus && qobject_cast<const QAbstractItemView *>(w))
                return true;   // an in-place editor
        }
        return false;
    }
};

constexpr QColor kDisabledText(128, 128, 128);

} // namespace

SkinButton::SkinButton(const QString &caption, QWidget *parent)
    : QAbstractButton(parent)
{
    DialogKeys::install();
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setIconSize(QSize(32, 32));
    // The face covers every pixel; nothing is erased beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(75, 24);
    connect(this, &QAbstractButton::clicked, this, &SkinButton::giveModalResult);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { focusMovedTo(now); });
}

QSize SkinButton::sizeHint() const
{
    return {75, 24};
}

void SkinButton::setPicture(const QPixmap &bitmap)
{
    m_bitmap = bitmap;
    update();
}

void SkinButton::setPicturePosition(PicturePosition position)
{
    if (m_picturePosition != position) {
        m_picturePosition = position;
        update();
    }
}

void SkinButton::setPictureTransparent(bool on)
{
    if (m_pictureTransparent != on) {
        m_pictureTransparent = on;
        update();
    }
}

void SkinButton::setPictureTransparentColor(const QColor &color)
{
    if (m_pictureTransparentColor != color) {
        m_pictureTransparentColor = color;
        update();
    }
}

void SkinButton::setPictureGap(int gap)
{
    if (m_pictureGap != gap) {
        m_pictureGap = gap;
        update();
    }
}

void SkinButton::setDefault(bool on)
{
    m_default = on;
    announceFocusToWindow();
}

void SkinButton::setCancel(bool on)
{
    m_cancel = on;
}

void SkinButton::setModalResult(int result)
{
    m_modalResult = result;
}

void SkinButton::giveModalResult()
{
    if (m_modalResult == 0)
        return;
    if (auto *dialog = qobject_cast<QDialog *>(window()); dialog && dialog != static_cast<QWidget *>(this))
        dialog->done(m_modalResult);
}

// Every skin button of the window learns which control has the focus now.
void SkinButton::announceFocusToWindow()
{
    QWidget *form = window();
    QWidget *now = form->focusWidget();
    for (SkinButton *button : form->findChildren<SkinButton *>())
        button->focusMovedTo(now);
    if (form == this)
        focusMovedTo(now);
}

void SkinButton::focusMovedTo(QWidget *now)
{
    if (now && now->window() != window())
        return;
    auto *button = qobject_cast<SkinButton *>(now);
    m_active = button ? button == this : m_default;
    update();
}

bool SkinButton::dialogKey(const QKeyEvent &key)
{
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const bool escape = key.key() == Qt::Key_Escape;
    if (!((enter && m_active) || (escape && m_cancel)))
        return false;
    if (!isVisible() || !isEnabled())
        return false;
    click();
    return true;
}

bool SkinButton::event(QEvent *event)
{
    // The caption's accelerator focuses and clicks at once.
    if (event->type() == QEvent::Shortcut) {
        if (isEnabled()) {
            setFocus(Qt::ShortcutFocusReason);
            click();
        }
        return true;
    }
    return QAbstractButton::event(event);
}

void SkinButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // Every key-down clicks, so a held key repeats.
        click();
        event->accept();
        return;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

void SkinButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        event->accept();
        return;
    }
    QAbstractButton::keyReleaseEvent(event);
}

void SkinButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    m_hotPending = true;
    update();
}

void SkinButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    m_hotPending = false;
    update();
}

void SkinButton::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    m_focused = true;
    update();
}

void SkinButton::focusOutEvent(QFocusEvent *event)
{
    QAbstractButton::focusOutEvent(event);
    m_focused = false;
    update();
}

QImage SkinButton::pictureImage() const
{
    if (!m_bitmap.isNull()) {
        QImage img = m_bitmap.toImage();
        if (m_pictureTransparent && isEnabled()) {
            img = img.convertToFormat(QImage::Format_ARGB32);
            const QRgb key = m_pictureTransparentColor.rgb();
            for (int y = 0; y < img.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x)
                    if ((line[x] | 0xFF000000u) == key)
                        line[x] = 0;
            }
        }
        return img;
    }
    if (icon().isNull())
        return {};
    QImage img = icon().pixmap(iconSize(), 1.0).toImage();
    if (!img.isNull() && img.size() != iconSize())
        img = img.scaled(iconSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return img;
}

void SkinButton::paintEvent(QPaintEvent *)
{
    int n = isDown() ? ButtonSkin::Pressed : m_hotPending ? ButtonSkin::Hot : ButtonSkin::Normal;
    m_hotPending = false;
    if (!isEnabled())
        n = ButtonSkin::Disabled;
    if (n != ButtonSkin::Pressed && n != ButtonSkin::Hot && m_focused)
        n = ButtonSkin::Focused;

    const int w = width();
    const int h = height();
    QImage face = ButtonSkin::stretch(ButtonSkin::imageOf(ButtonSkin::strip(), n), size());
    QPainter p(&face);
    p.setFont(font());
    p.setPen(isEnabled() ? palette().color(QPalette::Active, QPalette::ButtonText) : kDisabledText);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextIncludeTrailingSpaces;

    QImage picture = pictureImage();
    if (picture.width() < 1 || picture.height() < 1) {
        p.drawText(rect(), flags, text());
    } else {
        if (!isEnabled())
            picture = ButtonSkin::silhouette(picture, Colors::buttonFace());
        const QFontMetrics fm(font());
        const int th = fm.height();
        const int tw = fm.horizontalAdvance(text());
        const int pw = picture.width();
        const int ph = picture.height();
        const int gap = m_pictureGap;
        QPoint at;
        QRect caption;
        if (m_picturePosition == PicturePosition::Top) {
            const int y0 = (h - (th + ph + gap)) / 2;
            at = QPoint((w - pw) / 2, y0);
            caption = QRect(0, y0 + ph + gap, w, th);
        } else {
            const int x0 = (w - (pw + tw + gap)) / 2;
            at = QPoint(x0, (h - ph) / 2);
            caption = QRect(x0 + pw + gap, 0, tw, h);
        }
        p.drawImage(at, picture);
        p.drawText(caption, flags, text());
    }
    p.end();

    QPainter screen(this);
    screen.drawImage(0, 0, face);
}
