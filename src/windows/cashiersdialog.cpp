#include "cashiersdialog.h"

#include "base/apperror.h"
#include "storage/tillsettings.h"
#include "till/cashiershift.h"
#include "till/pinhash.h"
#include "widgets/apperrorbox.h"
#include "windows/listtable.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

CashiersDialog::CashiersDialog(Database &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    setWindowTitle(QStringLiteral("收银员和店主密码"));
    m_signInBox = new QCheckBox(QStringLiteral("收银员签到：每个收银员用编号和密码签到（Shift+F2 签到/交班）"), this);
    m_signInBox->setChecked(CashierShift::isRequired(m_db));
    m_table = ListTable::make(this, {QStringLiteral("编号"), QStringLiteral("姓名"), QStringLiteral("在用")}, Name);
    QHBoxLayout *buttons = ListTable::buttonRow(this, {
        {QStringLiteral("添加"), [this] { addCashier(); }},
        {QStringLiteral("设置密码…"), [this] { setPin(); }},
        {QStringLiteral("保存"), [this] { save(); }},
        {QStringLiteral("关闭"), [this] { reject(); }},
    });

    // Where the owner's PIN (set under 付款方式) is asked.
    auto *places = new QGroupBox(QStringLiteral("需要店主密码的操作"), this);
    auto *placesLayout = new QVBoxLayout(places);
    const PinPlaces stored = PinPlaces::load(TillSettings(m_db, 0));
    for (const PinPlaces::Place place : PinPlaces::all()) {
        auto *box = new QCheckBox(PinPlaces::nameOf(place), places);
        box->setChecked(stored.asks(place));
        placesLayout->addWidget(box);
        m_placeBoxes.insert(place, box);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_signInBox);
    layout->addWidget(m_table);
    layout->addWidget(places);
    layout->addLayout(buttons);
    resize(460, 520);
    showCashiers(Cashiers::load(m_db));
}

void CashiersDialog::showCashiers(const QList<Cashier> &cashiers)
{
    m_table->setRowCount(0);
    m_pinHashes.clear();
    for (const Cashier &cashier : cashiers) {
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        // The number is what the records are found by: fixed once saved.
        m_table->setItem(row, Number, ListTable::fixedItem(QString::number(cashier.number)));
        m_table->setItem(row, Name, new QTableWidgetItem(cashier.name));
        m_table->setItem(row, Active, ListTable::checkItem(cashier.active));
        m_pinHashes << cashier.pinHash;
    }
}

void CashiersDialog::addCashier()
{
    int next = 1;
    for (int row = 0; row < m_table->rowCount(); ++row)
        next = qMax(next, m_table->item(row, Number)->text().toInt() + 1);
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setItem(row, Number, ListTable::fixedItem(QString::number(next)));
    m_table->setItem(row, Name, new QTableWidgetItem);
    m_table->setItem(row, Active, ListTable::checkItem(true));
    m_pinHashes << QString();
    m_table->setCurrentCell(row, Name);
    m_table->editItem(m_table->item(row, Name));
}

void CashiersDialog::setPin()
{
    const int row = m_table->currentRow();
    if (row < 0)
        throw Refusal(QStringLiteral("请先选择一个收银员。"));
    bool given = false;
    const QString pin = QInputDialog::getText(this, QStringLiteral("收银员密码"),
                                              QStringLiteral("%1 的新密码：").arg(m_table->item(row, Name)->text()),
                                              QLineEdit::Password, QString(), &given);
    if (!given)
        return;
    const QString again = QInputDialog::getText(this, QStringLiteral("收银员密码"), QStringLiteral("再输入一次新密码："),
                                                QLineEdit::Password, QString(), &given);
    if (!given)
        return;
    if (pin != again)
        throw Refusal(QStringLiteral("两次输入的密码不一样，密码没有改。"));
    m_pinHashes[row] = PinHash::of(pin);
}

void CashiersDialog::save()
{
    QList<Cashier> cashiers;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QString name = m_table->item(row, Name)->text().trimmed();
        if (name.isEmpty())
            throw Refusal(QStringLiteral("第 %1 行的收银员没有姓名。").arg(row + 1));
        cashiers << Cashier{m_table->item(row, Number)->text().toInt(), name, m_pinHashes.value(row),
                            m_table->item(row, Active)->checkState() == Qt::Checked};
    }
    if (m_signInBox->isChecked() && std::none_of(cashiers.cbegin(), cashiers.cend(), [](const Cashier &c) { return c.active; }))
        throw Refusal(QStringLiteral("启用收银员签到前，请至少添加一个在用的收银员。"));
    Cashiers::save(m_db, cashiers);
    CashierShift::setRequired(m_db, m_signInBox->isChecked());
    PinPlaces places;
    for (auto it = m_placeBoxes.cbegin(); it != m_placeBoxes.cend(); ++it)
        places.setAsks(it.key(), it.value()->isChecked());
    TillSettings(m_db, 0).store(places.values());
    accept();
}
