#include "ui/ProgressWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

namespace brx::ui {

QString TaskbarTitle(const QString& caption, int runPercent, int archivePercent)
{
    static const QString kBackupPrefix = QStringLiteral("Backup in Process ");
    const QString shown = caption.contains(kBackupPrefix) ? caption.mid(18) : caption;
    return shown + " - " + QString::number(runPercent) + "% - " + QString::number(archivePercent)
           + "%";
}

CopyAnimation::CopyAnimation(QWidget* parent) : QWidget(parent)
{
    setFixedSize(272, 50);
    m_timer.setInterval(60);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_frame = m_frame >= kLastFrame ? 0 : m_frame + 1;
        update();
    });
}

void CopyAnimation::Start()
{
    m_timer.start();
}

void CopyAnimation::Stop()
{
    m_timer.stop();
    m_frame = 0;
    update();
}

void CopyAnimation::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor folder(222, 184, 84);
    const int y = 16;
    painter.setPen(Qt::black);
    painter.setBrush(folder);
    painter.drawRect(40, y, 40, 26);
    painter.drawRect(192, y, 40, 26);
    if (!Running())
        return;
    // The sheet rises out of the left folder, flies over in an arc and drops into the right one.
    const double t = double(m_frame) / kLastFrame;
    const int x = 50 + int(t * 152);
    const int lift = int(4 * t * (1 - t) * 22);
    painter.setBrush(Qt::white);
    painter.drawRect(x, y - 6 - lift, 16, 20);
    painter.drawLine(x + 3, y - 1 - lift, x + 13, y - 1 - lift);
    painter.drawLine(x + 3, y + 4 - lift, x + 13, y + 4 - lift);
}

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_animation(new CopyAnimation(this))
    , m_status(new QLabel("Waiting", this))
    , m_archiveBar(new QProgressBar(this))
    , m_runBar(new QProgressBar(this))
    , m_minimize(new QPushButton("Minimize", this))
    , m_cancel(new QPushButton("&Cancel", this))
{
    setWindowTitle("Please Wait");
    setFixedSize(272, 159);
    m_animation->setGeometry(0, 0, 272, 50);
    m_status->setGeometry(8, 50, 256, 18);
    m_archiveBar->setGeometry(8, 70, 256, 16);
    m_runBar->setGeometry(8, 92, 256, 16);
    for (QProgressBar* bar : {m_archiveBar, m_runBar}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
    }
    m_minimize->setGeometry(40, 120, 88, 28);
    m_cancel->setGeometry(144, 120, 88, 28);
    m_cancel->setAutoDefault(false);
    m_minimize->setAutoDefault(false);
    connect(m_minimize, &QPushButton::clicked, this, &MinimizeApplication);
    connect(m_cancel, &QPushButton::clicked, this, &ProgressWindow::Cancel);
}

void ProgressWindow::SetStatus(const QString& text)
{
    m_status->setText(text);
}

void ProgressWindow::ShowArchivePercent(int percent)
{
    m_archiveBar->setValue(percent);
    // The main window's title is what the task bar shows, also while the program is minimized.
    if (isVisible() && parentWidget())
        parentWidget()->window()->setWindowTitle(
            TaskbarTitle(windowTitle(), m_runBar->value(), m_archiveBar->value()));
}

void ProgressWindow::reject()
{
    Cancel();
}

void ProgressWindow::Cancel()
{
    if (m_onCancel)
        m_onCancel();
}

void MinimizeApplication()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            window->showMinimized();
}

}  // namespace brx::ui
