#include "XP_Button.h"

#include "FlatUtilitys.h"
#include "XP_Unit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace {

// Enter and Esc reach the XP buttons of the window before the focused
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
        const QList<TXP_Button *> buttons = target->window()->findChildren<TXP_Button *>();
        for (TXP_Button *button : buttons)
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

TXP_Button::TXP_Button(const QString &caption, QWidget *parent)
    : QAbstractButton(parent)
{
    DialogKeys::install();
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setIconSize(QSize(32, 32));
    // The face covers every pixel; nothing is erased beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(75, 24);
    connect(this, &QAbstractButton::clicked, this, &TXP_Button::giveModalResult);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { focusMovedTo(now); });
}

QSize TXP_Button::sizeHint() const
{
    return {75, 24};
}

void TXP_Button::setPicture(const QPixmap &bitmap)
{
    m_bitmap = bitmap;
    update();
}

void TXP_Button::setPicPos(TPicPos pos)
{
    if (m_picPos != pos) {
        m_picPos = pos;
        update();
    }
}

void TXP_Button::setPicTrans(bool on)
{
    if (m_picTrans != on) {
        m_picTrans = on;
        update();
    }
}

void TXP_Button::setPicTransColor(const QColor &color)
{
    if (m_picTransColor != color) {
        m_picTransColor = color;
        update();
    }
}

void TXP_Button::setPicOffSet(int gap)
{
    if (m_picOffSet != gap) {
        m_picOffSet = gap;
        update();
    }
}

void TXP_Button::setDefault(bool on)
{
    m_default = on;
    announceFocusToWindow();
}

void TXP_Button::setCancel(bool on)
{
    m_cancel = on;
}

void TXP_Button::setModalResult(int result)
{
    m_modalResult = result;
}

void TXP_Button::giveModalResult()
{
    if (m_modalResult == 0)
        return;
    if (auto *dialog = qobject_cast<QDialog *>(window()); dialog && dialog != static_cast<QWidget *>(this))
        dialog->done(m_modalResult);
}

// Every XP button of the window learns which control has the focus now.
void TXP_Button::announceFocusToWindow()
{
    QWidget *form = window();
    QWidget *now = form->focusWidget();
    for (TXP_Button *button : form->findChildren<TXP_Button *>())
        button->focusMovedTo(now);
    if (form == this)
        focusMovedTo(now);
}

void TXP_Button::focusMovedTo(QWidget *now)
{
    if (now && now->window() != window())
        return;
    auto *button = qobject_cast<TXP_Button *>(now);
    m_active = button ? button == this : m_default;
    update();
}

bool TXP_Button::dialogKey(const QKeyEvent &key)
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

bool TXP_Button::event(QEvent *event)
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

void TXP_Button::keyPressEvent(QKeyEvent *event)
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

void TXP_Button::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        event->accept();
        return;
    }
    QAbstractButton::keyReleaseEvent(event);
}

void TXP_Button::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    m_hotPending = true;
    update();
}

void TXP_Button::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    m_hotPending = false;
    update();
}

void TXP_Button::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    m_focused = true;
    update();
}

void TXP_Button::focusOutEvent(QFocusEvent *event)
{
    QAbstractButton::focusOutEvent(event);
    m_focused = false;
    update();
}

QImage TXP_Button::pictureImage() const
{
    if (!m_bitmap.isNull()) {
        QImage img = m_bitmap.toImage();
        if (m_picTrans && isEnabled()) {
            img = img.convertToFormat(QImage::Format_ARGB32);
            const QRgb key = m_picTransColor.rgb();
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

void TXP_Button::paintEvent(QPaintEvent *)
{
    int n = isDown() ? XpSkin::Pressed : m_hotPending ? XpSkin::Hot : XpSkin::Normal;
    m_hotPending = false;
    if (!isEnabled())
        n = XpSkin::Disabled;
    if (n != XpSkin::Pressed && n != XpSkin::Hot && m_focused)
        n = XpSkin::Focused;

    const int w = width();
    const int h = height();
    QImage face = XpSkin::stretch(XpSkin::imageOf(XpSkin::strip(), n), size());
    QPainter p(&face);
    p.setFont(font());
    p.setPen(isEnabled() ? palette().color(QPalette::Active, QPalette::ButtonText) : kDisabledText);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextIncludeTrailingSpaces;

    QImage picture = pictureImage();
    if (picture.width() < 1 || picture.height() < 1) {
        p.drawText(rect(), flags, text());
    } else {
        if (!isEnabled())
            picture = XpSkin::silhouette(picture, ResolveColorValue(0x8000000F));   // button face
        const QFontMetrics fm(font());
        const int th = fm.height();
        const int tw = fm.horizontalAdvance(text());
        const int pw = picture.width();
        const int ph = picture.height();
        const int gap = m_picOffSet;
        QPoint at;
        QRect caption;
        if (m_picPos == pTop) {
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
