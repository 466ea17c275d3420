#pragma once

#include "sidewindow.h"

class TFormSystemSet final : public SideWindow
{
    Q_OBJECT

public:
    TFormSystemSet(Database &db, QWidget *mainWindow);

signals:
    // The cashier just saved: the cashier screen shows it at once.
    void cashierSaved(const QString &cashier);
};
