// The status bar of the main window: a lowered panel with a closing line, and over almost all of
// it the marquee, a line of news that scrolls two pixels to the left on every tick and follows
// itself round after three spaces. A click stops or starts it.
#pragma once

#include <QFrame>
#include <QString>
#include <QTimer>

namespace brx::ui {

// One tick of the scroll. textWidth is the width of the text plus three spaces, barWidth the
// width of the bar, position how far the text has moved in from the right edge.
struct MarqueeStep {
    int position;     // the position this tick draws at (after wrapping)
    bool drawTwice;   // text, three spaces, text: the tail of one pass and the head of the next
    int x;            // left edge of what is drawn
    int nextPosition; // the position for the following tick
};
MarqueeStep ScrollMarquee(int textWidth, int barWidth, int position);

class MarqueeArea;

class StatusBar : public QFrame {
    Q_OBJECT
public:
    static constexpr const char* kThanks = "Thank you for using Brellix!!!";
    static constexpr const char* kHint = "Click on Marquee to stop and start it.";

    StatusBar(int tickMilliseconds, QWidget* parent = nullptr);

    // New text: the scroll starts again from the right edge, the text first drawn at the left.
    void SetText(const QString& text);
    QString Text() const { return m_text; }
    bool Scrolling() const { return m_timer.isActive(); }
    void SetScrolling(bool on);
    int Position() const { return m_position; }
    int TickMilliseconds() const { return m_timer.interval(); }
    // One tick, as the timer gives it (tests and screenshots step it by hand).
    void Tick();
    MarqueeArea* Area() const { return m_area; }

signals:
    void ScrollingToggled(bool scrolling);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class MarqueeArea;
    void Toggle();
    void PaintMarquee(class QPainter& painter);

    QString m_text;
    int m_position = 0;
    int m_drawX = 0;
    bool m_drawTwice = false;
    bool m_fresh = true;  // drawn at x = 0 until the first tick
    QTimer m_timer;
    MarqueeArea* m_area;
};

// The area over the panel that shows the scrolling text.
class MarqueeArea : public QWidget {
    Q_OBJECT
public:
    explicit MarqueeArea(StatusBar& bar);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    StatusBar& m_bar;
};

}  // namespace brx::ui
