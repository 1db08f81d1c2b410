// The Dazur Edozi page of the main window over the restore page's model.
#include <QCursor>

#include "restore/RestoreSources.h"
#include "ui/MainWindow.h"

namespace brx::ui {

void MainWindow::RefreshRestorePage()
{
    restore::RestorePage* model = m_actions.RestorePage();
    const bool available = model != nullptr;
    for (QWidget* control : std::initializer_list<QWidget*>{m_restoreSource, m_winCrash, m_winUsers,
                                                            m_userFiles})
        control->setEnabled(available);
    if (!model)
        return;
    const QSignalBlocker blockSource(m_restoreSource);
    for (int i = 0; i < static_cast<int>(model->sourceItems.size()); ++i)
        m_restoreSource->setItemText(i, QString::fromStdString(model->sourceItems[i]));
    m_restoreSource->setCurrentIndex(model->source);
    const auto show = [](QCheckBox* box, const restore::ExtentBox& extent) {
        const QSignalBlocker block(box);
        box->setEnabled(extent.enabled);
        box->setChecked(extent.checked);
    };
    show(m_winCrash, model->winCrash);
    show(m_winUsers, model->winUsers);
    show(m_userFiles, model->userFiles);
    m_restartLabel->setVisible(model->restartLabelVisible);
}

void MainWindow::ChooseRestoreSource(int index)
{
    restore::RestorePage* model = m_actions.RestorePage();
    if (!model)
        return;
    restore::SourceChange change;
    Guarded([&] {
        model->source = index;
        change = model->ChangeSource(restore::ChangeSender::Page);
    });
    RefreshRestorePage();
    if (!change.showBackupList)
        return;
    // The list of backups pops up over the source list, its top-left corner on the list's.
    Guarded([&] { model->FillBackupList(); });
    m_backupList->clear();
    for (int i = 0; i < static_cast<int>(model->backupList.size()); ++i) {
        QAction* item = m_backupList->addAction(QString::fromStdString(model->backupList[i]));
        connect(item, &QAction::triggered, this, [this, i] { ChooseBackupFromList(i); });
    }
    m_backupList->popup(m_restoreSource->mapToGlobal(QPoint(0, 0)));
}

void MainWindow::ChooseBackupFromList(int index)
{
    if (restore::RestorePage* model = m_actions.RestorePage()) {
        Guarded([&] { model->ChooseBackup(index); });
        RefreshRestorePage();
    }
}

void MainWindow::ClickExtent(int extent, bool checked)
{
    restore::RestorePage* model = m_actions.RestorePage();
    if (!model)
        return;
    Guarded([&] {
        if (extent == 0)
            model->ClickWinCrash(checked);
        else if (extent == 1)
            model->ClickWinUsers(checked);
        else
            model->ClickUserFiles(checked);
    });
    RefreshRestorePage();
}

void MainWindow::StartRestore()
{
    if (restore::RestorePage* model = m_actions.RestorePage()) {
        Guarded([&] { model->RestoreClick(); });
        RefreshRestorePage();
    }
}

}  // namespace brx::ui
