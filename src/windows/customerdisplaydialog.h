#pragma once

#include "display/displaysettings.h"

#include <QDialog>

class CustomerDisplay;
class Database;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The till's customer display: whether there is one, its serial port, speed
// and protocol; a test button that shows a figure on it with what is typed,
// and saving.
class CustomerDisplayDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CustomerDisplayDialog)

public:
    // display: the cashier screen's own, which the test goes through (a
    // serial port is open to one program at a time).
    CustomerDisplayDialog(Database &db, CustomerDisplay &display, QWidget *parent = nullptr);

    QCheckBox *enabledBox() const { return m_enabledBox; }
    QLineEdit *portBox() const { return m_portBox; }
    QComboBox *speedBox() const { return m_speedBox; }
    QComboBox *protocolBox() const { return m_protocolBox; }
    QCheckBox *customerWindowBox() const { return m_customerWindowBox; }
    QPushButton *testButton() const { return m_testButton; }
    QPushButton *saveButton() const { return m_saveButton; }

    DisplaySettings typed() const;
    void testDisplay();
    void save();

protected:
    void done(int result) override;

private:
    void show(const DisplaySettings &settings);

    Database &m_db;
    CustomerDisplay &m_display;
    QCheckBox *m_enabledBox = nullptr;
    QLineEdit *m_portBox = nullptr;
    QComboBox *m_speedBox = nullptr;
    QComboBox *m_protocolBox = nullptr;
    QCheckBox *m_customerWindowBox = nullptr;
    QPushButton *m_testButton = nullptr;
    QPushButton *m_saveButton = nullptr;
};
