#pragma once

#include <QApplication>

// Work that takes a moment (reading a long table or range, reaching a
// server): the pointer says so until the work ends, however it ends.
class BusyPointer final
{
    Q_DISABLE_COPY_MOVE(BusyPointer)

public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
};
