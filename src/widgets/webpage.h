#pragma once

#include <QUrl>

#include <functional>

// The product web page: a user guide shipped with the program (beside it, or
// in share/fenwo when installed), opened in the desktop's browser. The opener
// can be replaced (tests never start a browser); an empty one is the
// desktop's again.
namespace WebPage {

QUrl address();
QString addressText();
// Throws FileError, naming the guide's file, when no browser took it.
void open();
void setOpener(std::function<void(const QUrl &)> opener);

} // namespace WebPage
