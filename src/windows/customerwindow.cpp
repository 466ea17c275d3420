#include "customerwindow.h"

#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// Lines shown at once: the customer follows the last ones rung up.
constexpr int kLinesShown = 8;

QLabel *bigLabel(QWidget *parent, int pixels, Qt::Alignment alignment, const QColor &color)
{
    auto *label = new QLabel(parent);
    QFont font = label->font();
    font.setPixelSize(pixels);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(alignment);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

} // namespace

CustomerWindow::CustomerWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("顾客显示"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0x10, 0x20, 0x40));
    setPalette(palette);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    m_shopName = bigLabel(this, 48, Qt::AlignCenter, Qt::white);
    m_lines = bigLabel(this, 32, Qt::AlignLeft | Qt::AlignTop, QColor(0xE0, 0xE0, 0xE0));
    m_lines->setTextFormat(Qt::PlainText);
    m_total = bigLabel(this, 72, Qt::AlignRight | Qt::AlignVCenter, QColor(0xFF, 0xD0, 0x40));
    m_payment = bigLabel(this, 56, Qt::AlignRight | Qt::AlignVCenter, QColor(0x80, 0xFF, 0x80));
    layout->addWidget(m_shopName);
    layout->addWidget(m_lines, 1);
    layout->addWidget(m_total);
    layout->addWidget(m_payment);
    showSale({}, QStringLiteral("0"));
}

void CustomerWindow::showOn(QScreen *screen)
{
    setScreen(screen);
    setGeometry(screen->geometry());
    showFullScreen();
}

void CustomerWindow::showShopName(const QString &name)
{
    m_shopName->setText(name.trimmed());
}

void CustomerWindow::showSale(const QList<SaleLine> &lines, const QString &total)
{
    QStringList text;
    for (qsizetype i = std::max<qsizetype>(0, lines.size() - kLinesShown); i < lines.size(); ++i) {
        const SaleLine &line = lines.at(i);
        text << QStringLiteral("%1  ×%2  %3").arg(line.name, line.quantityText(), line.amountText());
    }
    m_lines->setText(text.join(QLatin1Char('\n')));
    m_total->setText(QStringLiteral("合计：%1 元").arg(total));
    m_payment->clear();
}

void CustomerWindow::showPayment(const QString &received, const QString &change)
{
    m_payment->setText(QStringLiteral("收款：%1 元    找零：%2 元").arg(received, change));
}
