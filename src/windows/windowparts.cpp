#include "windowparts.h"

#include "widgets/flatspeedbutton.h"
#include "widgets/apperrorbox.h"
#include "widgets/colors.h"
#include "widgets/webpage.h"
#include "transfer/csvtarget.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>

namespace {

// A label has no click of its own: this one runs a handler on release.
class LabelClick final : public QObject
{
public:
    LabelClick(QObject *parent, std::function<void()> onClick)
        : QObject(parent)
        , m_onClick(std::move(onClick))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease)
            AppBoxes::guarded(m_onClick);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onClick;
};

} // namespace

namespace WindowParts {

QFont pixelFont(int pixels, bool bold, const QString &family)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

FlatSpeedButton *actionButton(QWidget *parent, const QString &caption, QRect geometry)
{
    auto *button = new FlatSpeedButton(caption, parent);
    button->setGeometry(geometry);
    button->setFont(pixelFont(16, true));
    button->setColors(Colors::brandGreen, Colors::actionHover, Colors::actionPressed, Colors::grey);
    return button;
}

QLabel *heading(QWidget *parent, const QString &text)
{
    auto *heading = new QLabel(text, parent);
    heading->setFont(pixelFont(22, true));
    QPalette p = heading->palette();
    p.setColor(QPalette::WindowText, Colors::brandGreen);
    heading->setPalette(p);
    return heading;
}

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QLabel *label(QWidget *parent, const QString &text, QRect geometry, const QFont &font, const QColor &color)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

QLabel *picture(QWidget *parent, const QString &resource)
{
    auto *picture = new QLabel(parent);
    picture->setGeometry(0, 0, 980, 691);
    picture->setPixmap(QPixmap(resource));
    picture->setScaledContents(true);
    return picture;
}

void title(QWidget *parent, const QString &text, QLabel **shadow, QLabel **face)
{
    *shadow = label(parent, text, {416, 59, 193, 41}, pixelFont(24, true), Qt::black);
    *face = label(parent, text, {414, 59, 179, 33}, pixelFont(24, true), Qt::white);
}

FlatSpeedButton *closeSpot(QWidget *parent)
{
    auto *button = new FlatSpeedButton(QString(), parent);
    button->setGeometry(947, 2, 30, 26);
    button->setTransparentFrame(Colors::hotSpotBlue);
    return button;
}

QLabel *webLink(QWidget *parent, std::function<void()> onClick)
{
    QLabel *link = label(parent, QStringLiteral("官方网站：") + WebPage::addressText(), {448, 8, 241, 25},
                         pixelFont(16, false, QStringLiteral("Arial")), Qt::white);
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(new LabelClick(link, std::move(onClick)));
    return link;
}

void setWindowLook(QWidget *window, const QColor &background, const QFont &font)
{
    QPalette p = window->palette();
    p.setColor(QPalette::Window, background);
    window->setPalette(p);
    window->setAutoFillBackground(true);
    window->setFont(font);
}

} // namespace WindowParts

bool WindowParts::mayWriteCsv(QWidget *parent, const QString &path, const QString &databasePath)
{
    // The file pickers leave the question to this: a file that is no CSV of
    // this program's gets the graver one, answered No unless chosen.
    switch (CsvTarget::check(path, databasePath)) {
    case CsvTarget::Existing::None: return true;
    case CsvTarget::Existing::ProgramCsv:
        return AppBoxes::askYesNo(CsvTarget::replaceQuestion(path, false), {parent, QStringLiteral("Confirm")});
    case CsvTarget::Existing::OtherFile: break;
    }
    return AppBoxes::askYesNo(CsvTarget::replaceQuestion(path, true),
                              {parent, QStringLiteral("Confirm"), QMessageBox::Warning, QMessageBox::No});
}
