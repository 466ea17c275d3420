#include "UnitSPInfo.h"

TFormSPInfo::TFormSPInfo(Database &db, QWidget *mainWindow)
    : SideWindow(db, QStringLiteral("商品信息"), mainWindow)
{
}
