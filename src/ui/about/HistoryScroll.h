#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <QStringList>

// Composes the frames of the scrolling version history on an off-screen bitmap, so that
// each frame reaches the screen in one piece and the moving text does not flicker.
// Frame i (from 1) draws line k (from 0) at y = k * h + H - i: the lines enter at the bottom
// edge and rise by one pixel per frame.
class HistoryScroll
{
public:
    HistoryScroll(const QStringList &lines, const QSize &size);

    // Height of one line of text (that of "Q" in the history font).
    int lineHeight() const { return m_lineHeight; }
    // Enough frames for the last line to rest on the bottom edge, or, for a short history,
    // for the first line to reach the top edge.
    int frameCount() const { return m_frameCount; }
    const QImage &bitmap() const { return m_bitmap; }

    void drawFrame(int frame);
    // Writes the same lines again in the background colour; cheaper than clearing.
    void eraseFrame(int frame);

private:
    void drawLines(int frame, const QColor &colour);

    QStringList m_lines;
    QImage m_bitmap;
    QFont m_font;
    int m_lineHeight = 0;
    int m_frameCount = 0;
};
