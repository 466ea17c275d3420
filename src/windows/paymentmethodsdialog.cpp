#include "paymentmethodsdialog.h"

#include "base/apperror.h"
#include "storage/tillsettings.h"
#include "till/discountrules.h"
#include "widgets/apperrorbox.h"
#include "windows/listtable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The method's number rides on its name cell: 0 for one not yet saved.
constexpr int kNumberRole = Qt::UserRole;

} // namespace

PaymentMethodsDialog::PaymentMethodsDialog(Database &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    setWindowTitle(QStringLiteral("付款方式"));
    m_table = ListTable::make(this, {QStringLiteral("名称"), QStringLiteral("启用"), QStringLiteral("可找零")}, Name);
    QHBoxLayout *buttons = ListTable::buttonRow(this, {
        {QStringLiteral("添加"), [this] { addMethod(); }},
        {QStringLiteral("上移"), [this] { move(-1); }},
        {QStringLiteral("下移"), [this] { move(1); }},
        {QStringLiteral("保存"), [this] { save(); }},
        {QStringLiteral("关闭"), [this] { reject(); }},
    });
    const DiscountRules rules = DiscountRules::load(TillSettings(m_db, 0));
    auto *discounts = new QFormLayout;
    m_roundOffBox = new QComboBox(this);
    m_roundOffBox->addItems({QStringLiteral("不抹零"), QStringLiteral("抹到角"), QStringLiteral("抹到元")});
    m_roundOffBox->setCurrentIndex(int(rules.roundOff()));
    discounts->addRow(QStringLiteral("抹零 (F6)："), m_roundOffBox);
    m_limitBox = new QSpinBox(this);
    m_limitBox->setRange(0, 100);
    m_limitBox->setSuffix(QStringLiteral("%"));
    m_limitBox->setValue(rules.limitPercent());
    discounts->addRow(QStringLiteral("超过此折扣要店主密码："), m_limitBox);
    m_pinBox = new QLineEdit(this);
    m_pinBox->setEchoMode(QLineEdit::Password);
    m_pinBox->setPlaceholderText(rules.hasPin() ? QStringLiteral("已设置；输入新密码可更换") : QStringLiteral("未设置"));
    discounts->addRow(QStringLiteral("店主密码："), m_pinBox);
    m_noPinBox = new QCheckBox(QStringLiteral("不用店主密码"), this);
    discounts->addRow(QString(), m_noPinBox);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(discounts);
    layout->addLayout(buttons);
    showMethods(PaymentMethods::load(m_db));
}

void PaymentMethodsDialog::showMethods(const QList<PaymentMethod> &methods)
{
    m_table->setRowCount(0);
    for (const PaymentMethod &method : methods) {
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        auto *name = new QTableWidgetItem(method.name);
        name->setData(kNumberRole, method.number);
        m_table->setItem(row, Name, name);
        m_table->setItem(row, Enabled, ListTable::checkItem(method.enabled));
        m_table->setItem(row, GivesChange, ListTable::checkItem(method.givesChange));
    }
}

QList<PaymentMethod> PaymentMethodsDialog::shownMethods() const
{
    QList<PaymentMethod> methods;
    for (int row = 0; row < m_table->rowCount(); ++row)
        methods << PaymentMethod{m_table->item(row, Name)->data(kNumberRole).toInt(),
                                 m_table->item(row, Name)->text().trimmed(),
                                 m_table->item(row, GivesChange)->checkState() == Qt::Checked,
                                 m_table->item(row, Enabled)->checkState() == Qt::Checked};
    return methods;
}

void PaymentMethodsDialog::addMethod()
{
    QList<PaymentMethod> methods = shownMethods();
    methods << PaymentMethod{0, QStringLiteral("新付款方式"), false, true};
    showMethods(methods);
    m_table->setCurrentCell(m_table->rowCount() - 1, Name);
    m_table->editItem(m_table->item(m_table->rowCount() - 1, Name));
}

void PaymentMethodsDialog::move(int by)
{
    const int row = m_table->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= m_table->rowCount())
        return;
    QList<PaymentMethod> methods = shownMethods();
    methods.move(row, to);
    showMethods(methods);
    m_table->setCurrentCell(to, Name);
}

void PaymentMethodsDialog::save()
{
    const QList<PaymentMethod> methods = shownMethods();
    QSet<QString> names;
    for (const PaymentMethod &method : methods) {
        if (method.name.isEmpty())
            throw Refusal(QStringLiteral("付款方式的名称不能为空。"));
        if (names.contains(method.name))
            throw Refusal(QStringLiteral("付款方式“%1”重复了，请换一个名称。").arg(method.name));
        names << method.name;
    }
    TillSettings shop(m_db, 0);
    DiscountRules rules = DiscountRules::load(shop);
    rules.setRoundOff(DiscountRules::RoundOff(m_roundOffBox->currentIndex()));
    rules.setLimitPercent(m_limitBox->value());
    if (m_noPinBox->isChecked())
        rules.setPin({});
    else if (!m_pinBox->text().isEmpty())
        rules.setPin(m_pinBox->text());
    PaymentMethods::save(m_db, methods);
    shop.store(rules.values());
    accept();
}
