#pragma once

#include "lensbox/lensbox_export.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>

namespace lensbox {

// The host's store of a control's persisted properties, kept with the window
// that holds the control. Names are matched without regard to case, because
// stored windows hold them in lower case ("allowzoomin").
class LENSBOX_EXPORT PropertyBag
{
public:
    // The stored value, or `defaultValue` when the name is not in the bag.
    QVariant read(const QString &name, const QVariant &defaultValue) const;

    // A value equal to its default is not kept: reading it back gives the
    // default anyway, and an older value under that name must not survive.
    void write(const QString &name, const QVariant &value, const QVariant &defaultValue);

    bool contains(const QString &name) const;
    QStringList names() const;

private:
    qsizetype indexOf(const QString &name) const;

    QList<std::pair<QString, QVariant>> m_entries;
};

} // namespace lensbox
