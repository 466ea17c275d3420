#pragma once

#include "widgets/keypreview.h"

#include <QWidget>

class Database;

// What the three side windows share: borderless, 980 × 691, centred, on top
// of the main window; closing only hides it, and each showing re-reads its data.
class SideWindow : public QWidget, public KeyPreview
{
    Q_OBJECT

public:
    SideWindow(Database &db, const QString &caption, QWidget *mainWindow);

    // Shows the window, or brings it to the front when it is already shown.
    void bringUp();

protected:
    Database &database() { return m_db; }

    // Reads the window's data afresh; runs each time the window goes from
    // hidden to shown.
    virtual void reload() {}

    void showEvent(QShowEvent *event) override;
    // Esc closes; a window with more keys maps them all in its own.
    void previewKey(const QKeyEvent &event) override;

private:
    Database &m_db;
};
