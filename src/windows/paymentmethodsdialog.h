#pragma once

#include "storage/paymentmethods.h"

#include <QDialog>

class Database;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;

// The shop's payment methods: renamed in place, switched on or off, told
// whether they give change, moved up or down (the payment window's digit
// follows the order), and new ones added; and the shop's rules for
// discounts: 抹零, the largest discount a cashier gives alone, the owner's
// PIN (typed only to set a new one). Saved together.
class PaymentMethodsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaymentMethodsDialog)

public:
    PaymentMethodsDialog(Database &db, QWidget *parent);

    QTableWidget *table() const { return m_table; }
    QComboBox *roundOffBox() const { return m_roundOffBox; }
    QSpinBox *limitBox() const { return m_limitBox; }
    QLineEdit *pinBox() const { return m_pinBox; }
    QCheckBox *noPinBox() const { return m_noPinBox; }
    void addMethod();
    void move(int by);
    // Stores the table's methods and closes; a method without a name, or
    // two of one name, is refused (Refusal) and nothing is stored.
    void save();

private:
    enum Column { Name, Enabled, GivesChange, NB_COLUMNS };
    void showMethods(const QList<PaymentMethod> &methods);
    QList<PaymentMethod> shownMethods() const;

    Database &m_db;
    QTableWidget *m_table = nullptr;
    QComboBox *m_roundOffBox = nullptr;
    QSpinBox *m_limitBox = nullptr;
    QLineEdit *m_pinBox = nullptr;
    QCheckBox *m_noPinBox = nullptr;
};
