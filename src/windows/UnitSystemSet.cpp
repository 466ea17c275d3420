#include "UnitSystemSet.h"

TFormSystemSet::TFormSystemSet(Database &db, QWidget *mainWindow)
    : SideWindow(db, QStringLiteral("店铺设置"), mainWindow)
{
}
