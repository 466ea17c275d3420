#pragma once

#include <QDialog>

class Database;
class FlatEdit;
class FlatSpeedButton;
class QLabel;

// Backups by hand, and where the automatic ones go: the folder, how many
// are kept, every how many hours one is taken while the program runs.
class BackupDialog final : public QDialog
{
    Q_OBJECT

public:
    BackupDialog(Database &db, QWidget *parent = nullptr);

    FlatEdit *folderBox() const { return m_folderBox; }
    FlatEdit *keepBox() const { return m_keepBox; }
    FlatEdit *hoursBox() const { return m_hoursBox; }
    QLabel *lastCopyLabel() const { return m_lastCopyLabel; }
    FlatSpeedButton *backUpButton() const { return m_backUpButton; }
    FlatSpeedButton *saveButton() const { return m_saveButton; }
    FlatSpeedButton *closeButton() const { return m_closeButton; }

    // What the buttons ask for.
    void chooseFolder();    // a folder picker for the folder box
    void saveSettings();    // stores the three boxes; throws Refusal for numbers that make no sense
    void backUpNow();       // stores them, then copies the database into the folder

signals:
    void settingsSaved();

private:
    void buildControls();
    void showSettings();
    void showLastCopy();

    Database &m_db;
    FlatEdit *m_folderBox = nullptr;
    FlatEdit *m_keepBox = nullptr;
    FlatEdit *m_hoursBox = nullptr;
    QLabel *m_lastCopyLabel = nullptr;
    FlatSpeedButton *m_chooseButton = nullptr;
    FlatSpeedButton *m_backUpButton = nullptr;
    FlatSpeedButton *m_saveButton = nullptr;
    FlatSpeedButton *m_closeButton = nullptr;
};
