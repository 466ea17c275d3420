#pragma once

#include <QString>

// Messages as the shop reads them: the platform's own English words (the
// printer system's, the database's, the network's) get the Chinese that says
// what happened, with the original kept in brackets after it for whoever
// mends the fault. Chinese text and messages without such words stay as
// they are.
namespace ShopWords {

QString inChinese(const QString &message);

}   // namespace ShopWords
