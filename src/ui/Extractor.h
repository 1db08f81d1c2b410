// "Extract Files from Backup": opens one archive of a backup set, shows its contents as a tick
// tree and extracts the ticked files back to where they came from, to a Temp folder or to a
// folder of the user's choice.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "core/Program.h"
#include "ui/TickTree.h"

namespace brx::ui {

class HelpSystem;

inline constexpr const char* kExtractorTitle = "Extract Files from Backup";
inline constexpr const char* kNoFilesInBackup = "No Files in Backup File";
inline constexpr const char* kNotAValidBackup =
    "This is not a valid Brellix backup or the destination drive could not be found.";

// The drives of the machine as the tree shows them: "System (C:)", "3½ Floppy (A:)" ...
std::vector<TickTree::DriveNode> DriveNodes(platform::Files& files, const QStyle& style);

class Extractor : public QDialog {
    Q_OBJECT
public:
    enum Destination { kOriginalLocation = 0, kTemporaryDirectory = 1, kSpecifyLocation = 2,
                       kChosenFolder = 3 };

    Extractor(core::Program& program, HelpSystem* help, QWidget* parent = nullptr);

    // Reading a medium: whether the disk prompts should treat it as removable. The backup's
    // disk handling listens here.
    std::function<void(bool removable)> onReadingMedium;

    // The controls, by what they are.
    QLineEdit* ArchiveEdit() const { return m_archive; }
    QPushButton* BrowseButton() const { return m_browse; }
    TickTree* Tree() const { return m_tree; }
    QPushButton* CheckAllButton() const { return m_checkAll; }
    QPushButton* UncheckAllButton() const { return m_uncheckAll; }
    QLabel* StatusLabel() const { return m_status; }
    QComboBox* DestinationCombo() const { return m_destination; }
    QCheckBox* RecurseCheck() const { return m_recurse; }
    QPushButton* ExtractButton() const { return m_extract; }
    QPushButton* ExitButton() const { return m_exit; }

    // The actions behind the buttons.
    void ChooseArchive();
    void OpenArchive(const std::string& path);
    int ExtractTicked();
    void Leave();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;  // Escape is Exit
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void ResetForShowing();
    void ResetTree();
    void EnableFileButtons(bool enabled);
    void DestinationChanged(int index);
    void SetChosenFolder(const QString& folder);
    void UpdateRecurse();
    std::string DestinationDirectory();
    void SetReadingMedium(const std::string& path);
    void ShowError(const std::string& text);

    core::Program& m_program;
    HelpSystem* m_help;
    QLabel* m_intro;
    QLineEdit* m_archive;
    QPushButton* m_browse;
    TickTree* m_tree;
    QPushButton* m_checkAll;
    QPushButton* m_uncheckAll;
    QLabel* m_status;
    QComboBox* m_destination;
    QCheckBox* m_recurse;
    QPushButton* m_helpButton;
    QPushButton* m_extract;
    QPushButton* m_exit;
    std::string m_lastFolder;  // the folder chooser starts where it was left
    bool m_changingDestination = false;
    bool m_closingByTitleBar = false;
};

}  // namespace brx::ui
