// Draws the window pictures and button icons of the program, the skin button
// skin and the hand cursor. Run at build time; the results are embedded as
// resources.
#include "widgets/buttonskin.h"
#include "widgets/colors.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

QFont face(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("WenQuanYi Zen Hei"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// 980 × 700: green title strip with the name and a close mark, white body,
// green footer with contact lines and the keys that work in that window.
// A side window shows its own title below the strip, white with a black
// shadow (at 414..609 × 59..100 on screen): its picture has a dark band
// there, on which that title reads.
QImage windowPicture(const QString &title, const QString &keys, bool titleBand)
{
    QImage img(980, 700, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient top(0, 0, 0, 36);
    top.setColorAt(0, Colors::brandGreen.lighter(125));
    top.setColorAt(1, Colors::brandGreen);
    p.fillRect(0, 0, 980, 36, top);
    p.setPen(Qt::white);
    p.setFont(face(20, true));
    p.drawText(QRect(14, 0, 420, 36), Qt::AlignVCenter | Qt::AlignLeft, title);

    // Close mark, under the frame-only close button at 947,2 30×26.
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(955, 8), QPointF(969, 22));
    p.drawLine(QPointF(969, 8), QPointF(955, 22));

    p.fillRect(0, 36, 980, 3, Colors::brandGreenShade);

    if (titleBand) {
        QLinearGradient band(0, 39, 0, 112);
        band.setColorAt(0, Colors::brandGreenShade);
        band.setColorAt(1, Colors::brandGreenShade.darker(125));
        p.fillRect(0, 39, 980, 73, band);
        p.fillRect(0, 112, 980, 2, Colors::brandGreen);
    }

    // The footer starts below the last hint line of the cashier screen.
    p.fillRect(0, 668, 980, 32, Colors::brandGreen);
    p.fillRect(0, 665, 980, 3, Colors::brandGreenShade);
    p.setPen(Qt::white);
    p.setFont(face(13));
    p.drawText(QRect(16, 668, 948, 27), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Fenwo 收银小票打印  ·  ") + keys);
    p.drawText(QRect(16, 668, 948, 27), Qt::AlignVCenter | Qt::AlignRight,
               QStringLiteral("技术支持：本店电脑管理员"));
    return img;
}

QImage blankIcon()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

QImage settingsIcon()
{
    QImage img = blankIcon();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x55, 0x66, 0x77));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(16, 16);
        p.rotate(i * 45);
        p.drawRect(-3, -15, 6, 8);
        p.restore();
    }
    p.drawEllipse(QPointF(16, 16), 10, 10);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 4, 4);
    return img;
}

QImage productsIcon()
{
    QImage img = blankIcon();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x8B, 0x5A, 0x2B), 1.5));
    p.setBrush(QColor(0xD9, 0xA4, 0x62));
    p.drawRect(4, 10, 24, 18);
    p.drawLine(4, 10, 10, 4);
    p.drawLine(28, 10, 22, 4);
    p.drawLine(10, 4, 22, 4);
    p.setPen(QPen(Qt::black, 1));
    for (int x = 9; x < 24; x += 2)
        p.drawLine(x, 16, x, 24 - (x % 3));
    return img;
}

QImage recordsIcon()
{
    QImage img = blankIcon();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor bars[] = {QColor(0x2E, 0x86, 0xDE), Colors::brandGreen, QColor(0xE6, 0x7E, 0x22)};
    const int heights[] = {12, 22, 17};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(bars[i]);
        p.drawRect(5 + i * 8, 28 - heights[i], 6, heights[i]);
    }
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(3, 29, 29, 29);
    return img;
}

QImage webIcon()
{
    QImage img = blankIcon();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1F, 0x5F, 0xBF), 2));
    p.setBrush(QColor(0xCF, 0xE4, 0xFF));
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 6, 13);
    p.drawLine(3, 16, 29, 16);
    p.drawLine(16, 3, 16, 29);
    return img;
}

// Drawn on a 32-unit grid and scaled, so the window icon and the menu icons
// of every size are one picture (packaging/fenwo.svg is the same drawing).
QImage programIcon(int size = 32)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(Qt::NoPen);
    p.setBrush(Colors::brandGreen);
    p.drawRoundedRect(2, 2, 28, 28, 6, 6);
    p.setBrush(Qt::white);
    p.drawRect(9, 6, 14, 20);
    p.setPen(QPen(Colors::brandGreen, 1.5));
    for (int y = 10; y < 24; y += 4)
        p.drawLine(11, y, 21, y);
    return img;
}

bool save(const QImage &img, const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    if (!img.save(path, nullptr, 92)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_assets OUTDIR\n");
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("pictures"));
    out.mkpath(QStringLiteral("icons"));
    out.mkpath(QStringLiteral("skins"));
    out.mkpath(QStringLiteral("cursors"));
    QDir pictures(out.filePath(QStringLiteral("pictures")));
    QDir icons(out.filePath(QStringLiteral("icons")));
    QDir skins(out.filePath(QStringLiteral("skins")));
    QDir cursors(out.filePath(QStringLiteral("cursors")));
    // The menu icons of an installed program, in the icon theme's layout.
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        out.mkpath(folder);
        ok = ok && save(programIcon(size), QDir(out.filePath(folder)), QStringLiteral("fenwo.png"));
    }
    // The user guide opens with F8 on the cashier screen only.
    const QString sideKeys = QStringLiteral("Esc 关闭");
    ok = ok && save(windowPicture(QStringLiteral("Fenwo免费小票机打印软件"),
                                  QStringLiteral("使用说明：按 F8 打开  ·  Esc 退出"), false),
                    pictures, QStringLiteral("main.jpg"))
        && save(windowPicture(QStringLiteral("商品信息"), sideKeys, true), pictures, QStringLiteral("spinfo.jpg"))
        && save(windowPicture(QStringLiteral("查询统计"), sideKeys, true), pictures, QStringLiteral("records.jpg"))
        && save(windowPicture(QStringLiteral("店铺设置"), sideKeys, true), pictures, QStringLiteral("settings.jpg"))
        && save(windowPicture(QStringLiteral("小票打印机"), sideKeys, true), pictures, QStringLiteral("printer.jpg"))
        && save(windowPicture(QStringLiteral("销售报表"), sideKeys, true), pictures, QStringLiteral("reports.jpg"))
        && save(settingsIcon(), icons, QStringLiteral("settings.png"))
        && save(productsIcon(), icons, QStringLiteral("products.png"))
        && save(recordsIcon(), icons, QStringLiteral("records.png"))
        && save(webIcon(), icons, QStringLiteral("web.png"))
        && save(programIcon(), icons, QStringLiteral("fenwo.png"))
        // 90 × 21, five 18 × 21 images; a BMP of an RGB32 image is 24-bit.
        && save(ButtonSkin::drawStrip(), skins, QStringLiteral("XPBUTTON.bmp"))
        // The hot spot travels in the PNG's text keys HotSpotX and HotSpotY.
        && save(HandCursor::drawHand(nullptr), cursors, QStringLiteral("XPHANDCUR.png"));
    return ok ? 0 : 1;
}
