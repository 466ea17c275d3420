#pragma once

#include "app/fenwoapplication.h"

#include <QTest>

// Like QTEST_MAIN, but with the program's own application object, so that
// windows see keys first exactly as they do in the running program.
#define FENWO_TEST_MAIN(TestObject)                         \
    int main(int argc, char *argv[])                        \
    {                                                       \
        FenwoApplication app(argc, argv);                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);            \
        TestObject tc;                                      \
        QTEST_SET_MAIN_SOURCE_PATH                          \
        return QTest::qExec(&tc, argc, argv);               \
    }
