#include "paymentwindow.h"

#include "base/apperror.h"
#include "till/money.h"
#include "till/saleerrors.h"
#include "till/till.h"
#include "widgets/apperrorbox.h"
#include "widgets/flatedit.h"
#include "windows/ownerpinquestion.h"
#include "windows/windowparts.h"

#include <QGridLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>

namespace {

// The digit keys choose among the first nine methods.
constexpr int kKeyedMethods = 9;

int digitOf(const QKeyEvent &event)
{
    const int key = event.key();
    return key >= Qt::Key_1 && key <= Qt::Key_9 ? key - Qt::Key_0 : 0;
}

} // namespace

PaymentWindow::PaymentWindow(const QList<PaymentMethod> &methods, Till &till, int currentLine, QWidget *parent)
    : QDialog(parent)
    , m_till(till)
    , m_currentLine(currentLine)
    , m_payments(till.totalAmount())
{
    for (const PaymentMethod &method : methods)
        if (method.enabled && m_methods.size() < kKeyedMethods)
            m_methods << method;
    buildControls();
    showPayments();
    m_methodList->setFocus();
}

void PaymentWindow::buildControls()
{
    setWindowTitle(QStringLiteral("收款"));
    const QFont big = WindowParts::pixelFont(19, true);
    auto *grid = new QGridLayout(this);
    m_totalLabel = new QLabel(this);
    m_totalLabel->setFont(big);
    grid->addWidget(m_totalLabel, 0, 0, 1, 2);

    m_methodList = new QListWidget(this);
    m_methodList->setFont(big);
    for (qsizetype i = 0; i < m_methods.size(); ++i)
        m_methodList->addItem(QStringLiteral("%1  %2").arg(i + 1).arg(m_methods.at(i).name));
    m_methodList->setCurrentRow(0);
    grid->addWidget(m_methodList, 1, 0, 4, 1);

    grid->addWidget(new QLabel(QStringLiteral("本次付款金额 (Tab)："), this), 1, 1);
    m_amountBox = new FlatEdit(this);
    m_amountBox->setFont(big);
    grid->addWidget(m_amountBox, 2, 1);
    m_paidLabel = new QLabel(this);
    grid->addWidget(m_paidLabel, 3, 1);
    m_stillDueLabel = new QLabel(this);
    m_stillDueLabel->setFont(big);
    grid->addWidget(m_stillDueLabel, 4, 1);
    m_changeLabel = new QLabel(this);
    m_changeLabel->setFont(big);
    grid->addWidget(m_changeLabel, 5, 1);
    auto *hint = new QLabel(QStringLiteral("按数字键用该方式付上面的金额；Tab 改金额；Del 撤销上一笔；"
                                           "付清后按回车或 F12 结账；Esc 返回。"
                                           "付款前：F5 整单折扣，F7 单品折扣（如 10% 或 5），F6 抹零。"),
                            this);
    hint->setWordWrap(true);
    grid->addWidget(hint, 6, 0, 1, 2);

    m_methodList->installEventFilter(this);
    m_amountBox->installEventFilter(this);
}

bool PaymentWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto &key = static_cast<const QKeyEvent &>(*event);
    const bool enter = WindowParts::isEnter(key.key());
    if (key.key() == Qt::Key_F12 || (enter && watched == m_methodList)) {
        AppBoxes::guarded([this] { finish(); });
        return true;
    }
    if (watched == m_amountBox) {
        // The amount is kept for the digit key that pays it.
        if (enter) {
            m_methodList->setFocus();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (const int n = digitOf(key)) {
        AppBoxes::guarded([this, n] { payBy(n); });
        return true;
    }
    if (key.key() == Qt::Key_F5 || key.key() == Qt::Key_F7) {
        AppBoxes::guarded([this, &key] { discount(key.key() == Qt::Key_F5); });
        return true;
    }
    if (key.key() == Qt::Key_F6) {
        AppBoxes::guarded([this] { roundOff(); });
        return true;
    }
    if (key.key() == Qt::Key_Delete || key.key() == Qt::Key_Backspace) {
        takeBackLast();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PaymentWindow::payBy(int n)
{
    if (n > m_methods.size())
        return;
    m_methodList->setCurrentRow(n - 1);
    m_payments.add(m_methods.at(n - 1), m_amountBox->text());
    showPayments();
    // Paid to the fen without change: nothing is left to look at.
    if (m_payments.covers() && m_payments.changeFen() == 0)
        accept();
}

void PaymentWindow::discount(bool wholeSale)
{
    if (!m_payments.payments().isEmpty())
        throw Refusal(QStringLiteral("已经收了款，请先按 Del 撤销已付的款项再打折。"));
    bool given = false;
    const QString typed = QInputDialog::getText(
        this, wholeSale ? QStringLiteral("整单折扣") : QStringLiteral("单品折扣"),
        QStringLiteral("折扣：百分数（如 10%）或金额（如 5）："), QLineEdit::Normal, QString(), &given).trimmed();
    if (!given || typed.isEmpty())
        return;
    const bool percent = typed.endsWith(QLatin1Char('%'));
    const Till::DiscountKind kind = percent ? Till::DiscountKind::Percent : Till::DiscountKind::Amount;
    const QString value = percent ? typed.chopped(1) : typed;
    auto give = [&](const QString &pin) {
        if (wholeSale)
            m_till.discountSale(kind, value, pin);
        else
            m_till.discountLine(m_currentLine, kind, value, pin);
    };
    try {
        give({});
    } catch (const OwnerPinNeeded &e) {
        const std::optional<QString> pin = OwnerPinQuestion::ask(this, e.message());
        if (!pin)
            return;
        give(*pin);
    }
    startAgain();
}

void PaymentWindow::roundOff()
{
    if (!m_payments.payments().isEmpty())
        throw Refusal(QStringLiteral("已经收了款，请先按 Del 撤销已付的款项再抹零。"));
    m_till.roundOff();
    startAgain();
}

void PaymentWindow::startAgain()
{
    m_payments = SalePayments(m_till.totalAmount());
    showPayments();
}

void PaymentWindow::takeBackLast()
{
    m_payments.removeLast();
    showPayments();
}

void PaymentWindow::finish()
{
    m_payments.requireCovered();
    accept();
}

void PaymentWindow::showPayments()
{
    QStringList paid;
    for (const Payment &payment : m_payments.payments())
        paid << QStringLiteral("%1 %2").arg(payment.methodName, payment.amount);
    m_paidLabel->setText(paid.isEmpty() ? QStringLiteral("已付：无") : QStringLiteral("已付：") + paid.join(QStringLiteral("，")));
    m_totalLabel->setText(QStringLiteral("应收金额：%1").arg(Money::text(m_payments.totalFen())));
    m_stillDueLabel->setText(QStringLiteral("还需支付：%1").arg(m_payments.stillDue()));
    m_changeLabel->setText(QStringLiteral("找零：%1").arg(m_payments.change()));
    m_amountBox->setText(m_payments.stillDue());
    m_amountBox->selectAll();
    m_methodList->setFocus();
}
