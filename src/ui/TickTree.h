// The tree of an archive's contents: the drives of this computer at the top, the folders and
// files of the archive below the drive they were backed up from, and a tick at every file.
#pragma once

#include <QPixmap>
#include <QTreeWidget>
#include <vector>

namespace brx::ui {

class TickTree : public QTreeWidget {
    Q_OBJECT
public:
    enum class Kind { Drive, NoDrive, AbsentDrive, Folder, File };
    enum class Added { Added, AlreadyListed, NoDriveNode };
    struct DriveNode {
        QString displayName;  // "System (C:)"
        QIcon icon;
    };

    static constexpr const char* kNoDriveText = "No Drive Given (extracted to current drive)";

    explicit TickTree(QWidget* parent = nullptr);

    // Empties the tree and adds the drives, then the "no drive" node.
    void Reset(const std::vector<DriveNode>& drives, const QIcon& noDriveIcon);
    // Inserts a path as stored in an archive ("C:\WINNT\win.ini") with any missing folders.
    Added AddPath(const QString& path);
    // The path a node stands for: "C:\A\x.txt", "C:", or "WINNT\x.txt" under the "no drive" node.
    static QString PathOf(const QTreeWidgetItem* item);
    static Kind KindOf(const QTreeWidgetItem* item);
    static bool Ticked(const QTreeWidgetItem* item);
    void SetTicked(QTreeWidgetItem* item, bool ticked);
    void SetAllTicked(bool ticked);
    // Paths of every ticked file, depth first, top to bottom.
    QStringList TickedPaths() const;
    // Expands every top-level node that has children.
    void ExpandTopLevel();
    // The part of a file's row that toggles its tick: tick, icon and text.
    QRect ClickArea(const QTreeWidgetItem* item) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QTreeWidgetItem* AddTopLevel(const QString& text, Kind kind, const QIcon& icon);
    bool Insert(QTreeWidgetItem* parent, const QString& rest);  // false when nothing was new
    QTreeWidgetItem* NewChild(QTreeWidgetItem* parent, const QString& text, Kind kind);
    QIcon Decoration(Kind kind, bool ticked, const QIcon& icon = {}) const;

    QPixmap m_ticked;
    QPixmap m_unticked;
};

}  // namespace brx::ui
