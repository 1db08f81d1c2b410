#include "ui/Marquee.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace brx::ui {

MarqueeStep ScrollMarquee(int textWidth, int barWidth, int position)
{
    MarqueeStep step{};
    step.position = textWidth < position ? 1 : position;
    step.drawTwice = step.position < barWidth;
    step.x = step.drawTwice ? barWidth - textWidth - step.position : barWidth - step.position;
    step.nextPosition = step.position + 2;
    return step;
}

StatusBar::StatusBar(int tickMilliseconds, QWidget* parent)
    : QFrame(parent), m_area(nullptr)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFixedHeight(20);
    auto* caption = new QLabel(kThanks, this);
    caption->setAlignment(Qt::AlignCenter);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->addWidget(caption);
    m_area = new MarqueeArea(*this);
    m_area->setToolTip(kHint);
    m_timer.setInterval(tickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &StatusBar::Tick);
    m_timer.start();
}

void StatusBar::SetText(const QString& text)
{
    m_text = text;
    m_position = m_area->width();
    m_fresh = true;
    m_area->update();
}

void StatusBar::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    m_area->setGeometry(contentsRect().adjusted(1, 0, -1, 0));
    m_area->raise();
}

void StatusBar::SetScrolling(bool on)
{
    if (on == Scrolling())
        return;
    if (on)
        m_timer.start();
    else
        m_timer.stop();
    emit ScrollingToggled(on);
}

void StatusBar::Toggle()
{
    SetScrolling(!Scrolling());
}

void StatusBar::Tick()
{
    const QFontMetrics metrics(m_area->font());
    const int textWidth = metrics.horizontalAdvance(m_text + "   ");
    const MarqueeStep step = ScrollMarquee(textWidth, m_area->width(), m_position);
    m_drawX = step.x;
    m_drawTwice = step.drawTwice;
    m_position = step.nextPosition;
    m_fresh = false;
    m_area->update();
}

void StatusBar::PaintMarquee(QPainter& painter)
{
    // A stopped marquee paints nothing, so an uncovered bar shows the panel's own line.
    if (!Scrolling() || m_text.isEmpty())
        return;
    painter.fillRect(m_area->rect(), palette().window());
    const QString shown = m_drawTwice ? m_text + "   " + m_text : m_text;
    const int x = m_fresh ? 0 : m_drawX;
    painter.drawText(x, 2 + painter.fontMetrics().ascent(), shown);
}

MarqueeArea::MarqueeArea(StatusBar& bar) : QWidget(&bar), m_bar(bar)
{
    setAutoFillBackground(false);
}

void MarqueeArea::paintEvent(QPaintEvent*)
{
    // The area covers the bar inside its frame.
    QPainter painter(this);
    m_bar.PaintMarquee(painter);
}

void MarqueeArea::mousePressEvent(QMouseEvent*)
{
    m_bar.Toggle();
}

}  // namespace brx::ui
