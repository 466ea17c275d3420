// Rings up one line on the cashier screen, says so, and waits to be killed.
#include "app/UnitMain.h"
#include "app/fenwoapplication.h"
#include "widgets/TFlatComboBoxUnit.h"
#include "widgets/TFlatEditUnit.h"

#include "typing.h"

#include <QLabel>
#include <QTest>

#include <cstdio>

int main(int argc, char **argv)
{
    FenwoApplication app(argc, argv);
    if (argc < 2)
        return 2;
    TFormMain window(QString::fromLocal8Bit(argv[1]));
    window.show();
    QApplication::processEvents();
    typeText(window.FlatComboBox1, QStringLiteral("散装糖果"));
    QTest::keyClick(window.FlatComboBox1, Qt::Key_Return);
    QTest::keyClicks(window.FlatEdit7, QStringLiteral("5"));
    QTest::keyClick(window.FlatEdit7, Qt::Key_Return);
    std::printf("stored %s\n", qPrintable(window.Label13->text()));
    std::fflush(stdout);
    return app.exec();
}
