#include "democatalogue.h"

#include "storage/pinyinindex.h"

#include "storage/database.h"
#include "storage/statements.h"

namespace DemoCatalogue {

namespace {
struct Product
{
    const char *code;
    const char *name;
    double price;
};

const Product kProducts[] = {
    {"6901028075831", "中华香烟(硬)", 45},
    {"6902538004045", "脉动维生素饮料600ml", 4.5},
    {"6920459950180", "康师傅红烧牛肉面", 4},
    {"6921168509256", "农夫山泉550ml", 2},
    {"6925303730574", "统一老坛酸菜牛肉面", 4.5},
    {"6901939621257", "可口可乐330ml罐装", 3},
    {"6920202888883", "红牛维生素功能饮料", 6},
    {"6903148042441", "舒肤佳香皂125g", 5.9},
    {"6922266446474", "清风抽纸三层", 3.5},
    {"6907992507385", "伊利纯牛奶250ml", 3.2},
    {"6923450657713", "绿箭口香糖", 2.5},
    {"6911988013426", "达利园蛋黄派", 12.8},
    {"6924187820064", "洽洽香瓜子160g", 7.5},
    {"6902083881085", "娃哈哈AD钙奶", 1.5},
    {"6901236341308", "雪碧500ml", 3},
    {"6934665081335", "蒙牛特仑苏", 5.5},
    {"6920152400013", "旺旺雪饼84g", 6.8},
    {"6903244984157", "好丽友派6枚", 13.5},
    {"6921581596048", "金龙鱼大米5kg", 39.9},
    {"6917878030627", "雀巢咖啡1+2原味", 1.8},
    {"6901668002020", "奥利奥夹心饼干", 9.9},
};
} // namespace

void fill(Database &db)
{
    Transaction t(db);
    for (const Product &p : kProducts) {
        db.execute(Statements::insertProduct(QString::fromUtf8(p.code), QString::fromUtf8(p.name), p.price));
        PinyinIndex::store(db, QString::fromUtf8(p.code), QString::fromUtf8(p.name));
    }
    db.execute(Statements::insertSettings(QStringLiteral("001"), QStringLiteral("      好邻居便利店"),
                                          QStringLiteral("欢迎光临，谢谢惠顾！\r\n地址：幸福路88号\r\n电话：0571-88886666")));
    t.commit();
}

} // namespace DemoCatalogue
