#pragma once

#include <QPushButton>

// A flat button: a filled face with a caption, or, in transparent mode, only
// a frame over whatever lies beneath it.
class TFlatSpeedButton : public QPushButton
{
    Q_OBJECT

public:
    explicit TFlatSpeedButton(const QString &caption, QWidget *parent = nullptr);

    void setColors(const QColor &face, const QColor &focused, const QColor &down, const QColor &border);
    void setTransparentFrame(const QColor &frame);
};
