#pragma once

#include "sidewindow.h"

class TFormSystemSet final : public SideWindow
{
    Q_OBJECT

public:
    TFormSystemSet(Database &db, QWidget *mainWindow);
};
