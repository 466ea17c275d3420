#pragma once

#include "sidewindow.h"

class TFormXiaoShouRecord final : public SideWindow
{
    Q_OBJECT

public:
    TFormXiaoShouRecord(Database &db, QWidget *mainWindow);
};
