#include "listsorting.h"

#include <algorithm>

namespace tovin {

void ListSort::click(int column)
{
    m_active = true;
    m_column = column;
    m_order = m_order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
}

const QString &sortText(const ListEntry &entry, int column)
{
    switch (column) {
    case 1:
        return entry.dateText;
    case 2:
        return entry.sizeText;
    default:
        return entry.name;
    }
}

void ListSort::apply(QList<ListEntry> &entries) const
{
    if (!m_active)
        return;
    // Texts are compared as texts, without regard to letter case; equal texts
    // keep the order they were listed in.
    std::stable_sort(entries.begin(), entries.end(), [this](const ListEntry &a, const ListEntry &b) {
        const int order = QString::compare(sortText(a, m_column), sortText(b, m_column), Qt::CaseInsensitive);
        return m_order == Qt::AscendingOrder ? order < 0 : order > 0;
    });
}

} // namespace tovin
