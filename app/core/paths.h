#pragma once

#include <QString>

namespace tovin {

// Joins path parts with one separator and collapses every run of doubled
// separators into one, all through the path, so that a folder typed with a
// trailing separator gives the same paths as without it. ".." is left alone.
QString joinPath(const QString &folder, const QString &name);
QString collapseSeparators(const QString &path);

// The part after the last separator.
QString fileNameOf(const QString &path);

} // namespace tovin
