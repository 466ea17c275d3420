#pragma once

#include "receipt/printsurface.h"

#include <memory>

// Passes every call on to a real print surface; a test overrides the calls
// it wants to watch or to interrupt.
class ForwardingSurface : public PrintSurface
{
public:
    explicit ForwardingSurface(std::unique_ptr<PrintSurface> inner)
        : m_inner(std::move(inner))
    {
    }

    void beginJob() override { m_inner->beginJob(); }
    void endJob() override { m_inner->endJob(); }
    void abortJob() noexcept override { m_inner->abortJob(); }
    void newPage() override { m_inner->newPage(); }
    int printableWidth() const override { return m_inner->printableWidth(); }
    int printableHeight() const override { return m_inner->printableHeight(); }
    void setFontSize(int points) override { m_inner->setFontSize(points); }
    QSize textExtent(const QString &text) const override { return m_inner->textExtent(text); }
    int averageCharWidth() const override { return m_inner->averageCharWidth(); }
    int charHeight() const override { return m_inner->charHeight(); }
    void drawText(int x, int y, const QString &text) override { m_inner->drawText(x, y, text); }
    void lineEnded(int nextY) override { m_inner->lineEnded(nextY); }

private:
    std::unique_ptr<PrintSurface> m_inner;
};
