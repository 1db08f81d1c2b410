// The warning list: the problems an operation collected, shown at its end as a notice (OK) or,
// when a restart is pending, as a question (No / Yes).
#pragma once

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

namespace brx::ui {

struct WarningListSize {
    int listHeight;
    int windowHeight;
    int buttonTop;
};
// Whole 13-pixel lines; a list that would not fit on the screen with the 90 pixels of the rest of
// the window is cut to 10 lines (and scrolls).
WarningListSize SizeWarningList(int lineCount, int screenHeight);

class WarningList : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLineHeight = 13;
    enum class Mode { Notice, Question };

    explicit WarningList(QWidget* parent = nullptr);

    void SetMode(Mode mode);
    Mode CurrentMode() const { return m_mode; }
    void SetLines(const QStringList& lines);
    QListWidget* List() const { return m_list; }
    QPushButton* NoButton() const { return m_no; }
    QPushButton* YesButton() const { return m_yes; }
    // The screen height the sizing rule uses; 0 (the default) takes the real screen's.
    void SetScreenHeightForSizing(int height) { m_screenHeight = height; }
    // Sizes the window to its lines, as every activation and resize does.
    void FitToLines();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int ScreenHeight() const;

    QListWidget* m_list;
    QPushButton* m_no;
    QPushButton* m_yes;
    Mode m_mode = Mode::Notice;
    int m_screenHeight = 0;
    bool m_fitting = false;
};

}  // namespace brx::ui
