// The progress window of every long operation: caption, a status line, the bar of the current
// archive and the bar of the whole run, a small copying animation, Minimize and Cancel.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <functional>

namespace brx::ui {

// The task-bar title while an archive is being written or read: the caption (without the words
// "Backup in Process " that begin a backup's caption), the whole run's percentage and the current
// archive's.
QString TaskbarTitle(const QString& caption, int runPercent, int archivePercent);

// A small looping animation of a sheet flying from one folder to another.
class CopyAnimation : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLastFrame = 34;
    explicit CopyAnimation(QWidget* parent = nullptr);
    void Start();
    void Stop();
    bool Running() const { return m_timer.isActive(); }
    int Frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QTimer m_timer;
    int m_frame = 0;
};

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    void SetStatus(const QString& text);
    QString Status() const { return m_status->text(); }
    QProgressBar* ArchiveBar() const { return m_archiveBar; }
    QProgressBar* RunBar() const { return m_runBar; }
    CopyAnimation* Animation() const { return m_animation; }
    QPushButton* CancelButton() const { return m_cancel; }
    QPushButton* MinimizeButton() const { return m_minimize; }
    // What Cancel does; the owner's run state decides whether a second press counts.
    void SetCancelHandler(std::function<void()> handler) { m_onCancel = std::move(handler); }
    // The engine's progress event: the current archive's bar and the task-bar title.
    void ShowArchivePercent(int percent);

protected:
    void reject() override;  // Escape presses Cancel and does not close

private:
    void Cancel();

    CopyAnimation* m_animation;
    QLabel* m_status;
    QProgressBar* m_archiveBar;
    QProgressBar* m_runBar;
    QPushButton* m_minimize;
    QPushButton* m_cancel;
    std::function<void()> m_onCancel;
};

// Minimizes every top-level window of the program.
void MinimizeApplication();

}  // namespace brx::ui
