#pragma once

#include "imagelisting.h"

#include <QList>
#include <Qt>

namespace tovin {

// The header-click sort of the image list: one direction shared by all
// columns, flipped by every click and starting from ascending, so the first
// click sorts descending. Once a column was clicked, later listings come
// sorted the same way.
class ListSort
{
public:
    // A header click on `column`: flips the direction and sorts by it.
    void click(int column);
    bool active() const { return m_active; }
    int column() const { return m_column; }
    Qt::SortOrder order() const { return m_order; }

    // The entries in the sort's order; unchanged before the first click.
    void apply(QList<ListEntry> &entries) const;

private:
    bool m_active = false;
    int m_column = 0;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

// The text a column is sorted by: the name, the date text or the size text.
const QString &sortText(const ListEntry &entry, int column);

} // namespace tovin
