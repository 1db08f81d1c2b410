#include "ui/WarningList.h"

#include <QEvent>
#include <QFontMetrics>
#include <QScreen>

namespace brx::ui {

namespace {
constexpr int kWidth = 440;
constexpr int kFrameAndButtons = 90;
constexpr int kButtonFromBottom = 57;
constexpr int kCutLines = 10;
}  // namespace

WarningListSize SizeWarningList(int lineCount, int screenHeight)
{
    int listHeight = lineCount * WarningList::kLineHeight;
    if (listHeight > screenHeight - kFrameAndButtons)
        listHeight = kCutLines * WarningList::kLineHeight;
    const int windowHeight = listHeight + kFrameAndButtons;
    return {listHeight, windowHeight, windowHeight - kButtonFromBottom};
}

WarningList::WarningList(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_list(new QListWidget(this))
    , m_no(new QPushButton("&No", this))
    , m_yes(new QPushButton("&Yes", this))
{
    setWindowTitle("WARNING");
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setUniformItemSizes(true);
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_list->setPalette(palette);
    // Lines are 13 pixels high: a font that fits them.
    QFont font = m_list->font();
    font.setPixelSize(11);
    m_list->setFont(font);
    m_list->setStyleSheet("QListWidget::item { height: 13px; padding: 0px; margin: 0px; }");
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_yes->setDefault(true);
    connect(m_no, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_yes, &QPushButton::clicked, this, &QDialog::accept);
    SetMode(Mode::Notice);
    FitToLines();
}

void WarningList::SetMode(Mode mode)
{
    m_mode = mode;
    const bool question = mode == Mode::Question;
    m_no->setText(question ? "&No" : "&OK");
    m_no->setDefault(!question);
    m_yes->setDefault(question);
    m_yes->setVisible(question);
    FitToLines();
}

void WarningList::SetLines(const QStringList& lines)
{
    m_list->clear();
    m_list->addItems(lines);
    FitToLines();
}

int WarningList::ScreenHeight() const
{
    if (m_screenHeight > 0)
        return m_screenHeight;
    const QScreen* shown = screen();
    return shown ? shown->geometry().height() : 600;
}

void WarningList::FitToLines()
{
    if (m_fitting)
        return;
    m_fitting = true;
    const WarningListSize size = SizeWarningList(m_list->count(), ScreenHeight());
    setFixedSize(kWidth, size.windowHeight);
    m_list->setGeometry(12, 16, kWidth - 24, size.listHeight);
    const bool question = m_mode == Mode::Question;
    m_no->setGeometry(question ? 70 : (kWidth - 100) / 2, size.buttonTop, 100, 28);
    m_yes->setGeometry(270, size.buttonTop, 100, 28);
    m_fitting = false;
}

void WarningList::showEvent(QShowEvent* event)
{
    FitToLines();
    QDialog::showEvent(event);
}

void WarningList::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FitToLines();
    QDialog::changeEvent(event);
}

void WarningList::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FitToLines();
}

}  // namespace brx::ui
