#pragma once

#include "sidewindow.h"

class TFormSPInfo final : public SideWindow
{
    Q_OBJECT

public:
    TFormSPInfo(Database &db, QWidget *mainWindow);
};
