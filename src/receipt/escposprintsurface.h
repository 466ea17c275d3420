#pragma once

#include "receipt/printsurface.h"
#include "base/textcodec.h"

#include <QByteArray>

#include <memory>

class EscPosLink;

// A thermal receipt printer spoken to in raw ESC/POS with GBK (or GB18030) text. Units are
// printer dots: an ASCII character of the normal font is 12 dots wide and 24
// high, a Chinese character 24 by 24; sizes of 12 points and more print
// double wide and double high. A line is as wide as the paper's column
// count, and the paper is a roll, so pages never end by themselves.
//
// The whole job is collected and sent at its end in one piece, followed by
// a feed to the cutter and a partial cut.
class EscPosPrintSurface final : public PrintSurface
{
public:
    static constexpr int DotsPerColumn = 12;
    static constexpr int CharacterDots = 24;

    EscPosPrintSurface(std::unique_ptr<EscPosLink> link, int columns,
                       TextEncoding encoding = TextEncoding::Gbk);
    ~EscPosPrintSurface() override;

    void beginJob() override;
    void endJob() override;
    void abortJob() noexcept override;
    void newPage() override;

    int printableWidth() const override;
    int printableHeight() const override;
    void setFontSize(int points) override;
    QSize textExtent(const QString &text) const override;
    int averageCharWidth() const override;
    int charHeight() const override;
    void drawText(int x, int y, const QString &text) override;
    void lineEnded(int nextY) override;
    // By the printer's own barcode command (GS k, CODE128 subset B), centred,
    // without the number under it: the receipt prints it above.
    int barcodeHeight() const override;
    void drawBarcode(int y, const QString &data) override;
    static constexpr int BarcodeDots = 64;

    const EscPosLink &link() const { return *m_link; }
    int columns() const { return m_columns; }

private:
    int scale() const { return m_double ? 2 : 1; }
    void feedTo(int y);
    void printLine(int feedDots);

    std::unique_ptr<EscPosLink> m_link;
    int m_columns;
    TextCodec m_codec;
    bool m_double = false;
    bool m_printerDouble = false;
    bool m_open = false;
    int m_printerSpacing = -1;
    int m_lineTop = 0;
    int m_cursor = 0;
    QByteArray m_job;
    QByteArray m_line;
};
