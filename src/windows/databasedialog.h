#pragma once

#include <QDialog>

class FlatCheckBox;
class FlatEdit;
class FlatSpeedButton;
class QLabel;

// This computer's part in the shop: whether its till works on the data file
// beside the program or on a database server that several tills share
// (server, port, database, user; the password stays in ~/.pgpass), and its
// till number. The dialog shows what this computer keeps and hands on what
// was chosen; keeping it (in this computer's settings file, not in the
// shop's database, used from the next start) is the application's part.
class DatabaseDialog final : public QDialog
{
    Q_OBJECT

public:
    // currentAddress: the database the program runs on now, for the text
    // that names it; storedAddress (empty: the data file) and storedTill:
    // what this computer keeps now, shown in the boxes.
    DatabaseDialog(const QString &currentAddress, const QString &storedAddress, int storedTill,
                   QWidget *parent = nullptr);

    FlatCheckBox *serverBox() const { return m_serverBox; }
    FlatEdit *hostBox() const { return m_hostBox; }
    FlatEdit *portBox() const { return m_portBox; }
    FlatEdit *databaseBox() const { return m_databaseBox; }
    FlatEdit *userBox() const { return m_userBox; }
    FlatEdit *optionsBox() const { return m_optionsBox; }
    FlatEdit *tillBox() const { return m_tillBox; }
    QLabel *testResultLabel() const { return m_testResultLabel; }
    // When this till's own copy last met the server ("yyyy-MM-dd HH:mm:ss";
    // empty: never): shown beside the title.
    void showLastSynchronised(const QString &at);
    QLabel *lastSynchronisedLabel() const { return m_lastSynchronisedLabel; }
    FlatSpeedButton *testButton() const { return m_testButton; }
    FlatSpeedButton *saveButton() const { return m_saveButton; }

    // What the buttons ask for.
    void testConnection();   // tries the typed server; the result shows under the boxes
    void save();             // hands on the boxes (chosen); throws Refusal for what makes no sense

signals:
    // The address (empty: the data file) and till number to keep. A slot
    // that cannot keep them throws, and the dialog stays open.
    void chosen(const QString &address, int till);

private:
    void buildControls();
    void showStored(const QString &storedAddress, int storedTill);
    void enableServerBoxes();
    // The typed server as an address; throws Refusal when a box is missing or wrong.
    QString typedAddress() const;
    int typedTill() const;

    FlatCheckBox *m_serverBox = nullptr;
    FlatEdit *m_hostBox = nullptr;
    FlatEdit *m_portBox = nullptr;
    FlatEdit *m_databaseBox = nullptr;
    FlatEdit *m_userBox = nullptr;
    FlatEdit *m_optionsBox = nullptr;
    FlatEdit *m_tillBox = nullptr;
    QLabel *m_testResultLabel = nullptr;
    QLabel *m_lastSynchronisedLabel = nullptr;
    FlatSpeedButton *m_testButton = nullptr;
    FlatSpeedButton *m_saveButton = nullptr;
    FlatSpeedButton *m_closeButton = nullptr;
};
