#pragma once

#include "sidewindow.h"

class TFormSPInfo final : public SideWindow
{
    Q_OBJECT

public:
    TFormSPInfo(Database &db, QWidget *mainWindow);

signals:
    // The names of the listed products, in list order, when the window closes:
    // the cashier screen's product box takes them as its list.
    void productNamesListed(const QStringList &names);
};
