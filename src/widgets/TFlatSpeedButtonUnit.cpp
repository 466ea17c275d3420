#include "TFlatSpeedButtonUnit.h"

TFlatSpeedButton::TFlatSpeedButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    // Speed buttons never take the focus from the boxes.
    setFocusPolicy(Qt::NoFocus);
    setFlat(true);
    setAutoFillBackground(true);
}

void TFlatSpeedButton::setColors(const QColor &face, const QColor &focused, const QColor &down, const QColor &border)
{
    setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border: 1px solid %4; }"
                                 "QPushButton:hover { background: %2; }"
                                 "QPushButton:pressed { background: %3; }")
                      .arg(face.name(), focused.name(), down.name(), border.name()));
}

void TFlatSpeedButton::setTransparentFrame(const QColor &frame)
{
    setStyleSheet(QStringLiteral("QPushButton { background: transparent; border: none; }"
                                 "QPushButton:hover, QPushButton:pressed { border: 1px solid %1; }")
                      .arg(frame.name()));
}
