#include "ui/TickTree.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <functional>

namespace brx::ui {

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kTickedRole = Qt::UserRole + 1;
constexpr int kImage = 16;

QPixmap TickImage(bool ticked)
{
    QPixmap image(kImage, kImage);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(2, 2, 11, 11);
    if (ticked) {
        painter.setPen(QPen(QColor(0, 110, 0), 2));
        painter.drawPolyline(QPolygon({QPoint(4, 8), QPoint(7, 11), QPoint(12, 4)}));
    }
    return image;
}

// Names sort in upper case, character by character.
bool SortsBefore(const QString& a, const QString& b)
{
    return a.toUpper() < b.toUpper();
}

}  // namespace

TickTree::TickTree(QWidget* parent)
    : QTreeWidget(parent), m_ticked(TickImage(true)), m_unticked(TickImage(false))
{
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(2 * kImage, kImage));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QIcon TickTree::Decoration(Kind kind, bool ticked, const QIcon& icon) const
{
    // Every row has room for a tick and an icon, so texts line up; only files show the tick.
    QPixmap decoration(2 * kImage, kImage);
    decoration.fill(Qt::transparent);
    QPainter painter(&decoration);
    if (kind == Kind::File) {
        painter.drawPixmap(0, 0, ticked ? m_ticked : m_unticked);
        painter.drawPixmap(kImage, 0, style()->standardIcon(QStyle::SP_FileIcon).pixmap(kImage));
    } else if (kind == Kind::Folder) {
        painter.drawPixmap(kImage, 0, style()->standardIcon(QStyle::SP_DirIcon).pixmap(kImage));
    } else if (!icon.isNull()) {
        painter.drawPixmap(kImage, 0, icon.pixmap(kImage));
    }
    return QIcon(decoration);
}

QTreeWidgetItem* TickTree::AddTopLevel(const QString& text, Kind kind, const QIcon& icon)
{
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kKindRole, static_cast<int>(kind));
    item->setIcon(0, Decoration(kind, false, icon));
    addTopLevelItem(item);
    return item;
}

void TickTree::Reset(const std::vector<DriveNode>& drives, const QIcon& noDriveIcon)
{
    clear();
    for (const DriveNode& drive : drives)
        AddTopLevel(drive.displayName, Kind::Drive, drive.icon);
    AddTopLevel(kNoDriveText, Kind::NoDrive, noDriveIcon);
}

TickTree::Kind TickTree::KindOf(const QTreeWidgetItem* item)
{
    return static_cast<Kind>(item->data(0, kKindRole).toInt());
}

bool TickTree::Ticked(const QTreeWidgetItem* item)
{
    return KindOf(item) == Kind::File && item->data(0, kTickedRole).toBool();
}

void TickTree::SetTicked(QTreeWidgetItem* item, bool ticked)
{
    if (KindOf(item) != Kind::File || Ticked(item) == ticked)
        return;
    item->setData(0, kTickedRole, ticked);
    item->setIcon(0, Decoration(Kind::File, ticked));
}

TickTree::Added TickTree::AddPath(const QString& path)
{
    const bool hasDrive = path.size() > 1 && path[1] == ':';
    // Drive names are matched without regard to case, the "no drive" key included.
    const QString key = hasDrive ? path.left(1).toUpper() + ":" : QString("NO DRIVE GIVEN");
    QTreeWidgetItem* driveNode = nullptr;
    for (int i = 0; i < topLevelItemCount() && !driveNode; ++i)
        if (topLevelItem(i)->text(0).toUpper().contains(key))
            driveNode = topLevelItem(i);
    if (!driveNode) {
        if (!hasDrive)
            return Added::NoDriveNode;
        driveNode = AddTopLevel(key + "(Not Present)", Kind::AbsentDrive, QIcon());
    }
    QString rest = path;
    if (hasDrive)
        rest = path.mid(path.size() > 2 && path[2] == '\\' ? 3 : 2);
    if (rest.isEmpty())
        return Added::AlreadyListed;
    return Insert(driveNode, rest) ? Added::Added : Added::AlreadyListed;
}

bool TickTree::Insert(QTreeWidgetItem* parent, const QString& rest)
{
    const int slash = rest.indexOf('\\');
    const QString first = slash < 0 ? rest : rest.left(slash);
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        if (child->text(0) != first)
            continue;
        // The same file listed twice gives one node.
        return rest.size() > child->text(0).size() && Insert(child, rest.mid(first.size() + 1));
    }
    if (slash >= 0)
        return Insert(NewChild(parent, first, Kind::Folder), rest.mid(slash + 1));
    NewChild(parent, rest, Kind::File);
    return true;
}

QTreeWidgetItem* TickTree::NewChild(QTreeWidgetItem* parent, const QString& text, Kind kind)
{
    // Folders first, then files, each group in upper-case order.
    int position = 0;
    for (int i = 0; i < parent->childCount(); ++i) {
        const QTreeWidgetItem* child = parent->child(i);
        const bool folder = KindOf(child) == Kind::Folder;
        const bool before = kind == Kind::Folder ? folder && SortsBefore(child->text(0), text)
                                                 : folder || SortsBefore(child->text(0), text);
        if (before)
            position = i + 1;
    }
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kKindRole, static_cast<int>(kind));
    item->setData(0, kTickedRole, false);
    item->setIcon(0, Decoration(kind, false));
    parent->insertChild(position, item);
    return item;
}

QString TickTree::PathOf(const QTreeWidgetItem* item)
{
    QString path;
    if (item->parent()) {
        path = PathOf(item->parent()) + "\\" + item->text(0);
    } else if (KindOf(item) != Kind::NoDrive) {
        const int colon = item->text(0).indexOf(':');
        path = colon > 0 ? item->text(0).mid(colon - 1, 1) + ":" : QString();
    }
    if (path.startsWith('\\') && path.size() > 1)
        path.remove(0, 1);
    return path;
}

void TickTree::SetAllTicked(bool ticked)
{
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* node) {
        SetTicked(node, ticked);
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    for (int i = 0; i < topLevelItemCount(); ++i)
        walk(topLevelItem(i));
}

QStringList TickTree::TickedPaths() const
{
    QStringList paths;
    std::function<void(const QTreeWidgetItem*)> walk = [&](const QTreeWidgetItem* node) {
        if (Ticked(node))
            paths << PathOf(node);
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    for (int i = 0; i < topLevelItemCount(); ++i)
        walk(topLevelItem(i));
    return paths;
}

void TickTree::ExpandTopLevel()
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->childCount() > 0)
            topLevelItem(i)->setExpanded(true);
}

QRect TickTree::ClickArea(const QTreeWidgetItem* item) const
{
    const QRect row = visualItemRect(item);
    const int textWidth = fontMetrics().horizontalAdvance(item->text(0));
    // The decoration (tick and icon) starts the row; the text follows after the style's gap.
    const int gap = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) * 2 + 4;
    return QRect(row.left(), row.top(), iconSize().width() + gap + textWidth, row.height());
}

void TickTree::mousePressEvent(QMouseEvent* event)
{
    QTreeWidget::mousePressEvent(event);
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item && KindOf(item) == Kind::File
        && ClickArea(item).contains(event->position().toPoint()))
        SetTicked(item, !Ticked(item));
}

}  // namespace brx::ui
