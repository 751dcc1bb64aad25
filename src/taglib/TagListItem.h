#pragma once

#include <QTreeWidgetItem>

// A row of the library list. Sorting compares the texts without regard to case, as a list
// of tags is read: "<a href>" and "<BR>" belong side by side with their lower-case kin.
class TagListItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const int order = text(column).compare(other.text(column), Qt::CaseInsensitive);
        return order != 0 ? order < 0 : text(column) < other.text(column);
    }
};
