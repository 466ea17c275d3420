#pragma once

#include <QApplication>

// The application object: sets the program's title and fonts, and lets a
// previewing window see each key before the control that has the focus.
class FenwoApplication final : public QApplication
{
    Q_OBJECT

public:
    FenwoApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Maps the faces the screens are designed in to installed faces that
    // render Chinese text.
    static void installFontSubstitutions();

private:
    void installChineseTranslations();
};
