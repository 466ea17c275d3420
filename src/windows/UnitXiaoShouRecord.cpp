#include "UnitXiaoShouRecord.h"

TFormXiaoShouRecord::TFormXiaoShouRecord(Database &db, QWidget *mainWindow)
    : SideWindow(db, QStringLiteral("查询统计"), mainWindow)
{
}
