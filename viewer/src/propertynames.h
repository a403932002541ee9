#pragma once

#include <QString>

namespace lensbox {

// The names of the persisted properties, as the host's property bag stores
// them and as propertyChanged reports them.
inline const QString kAutoRedrawName = QStringLiteral("AutoRedraw");
inline const QString kBackColorName = QStringLiteral("BackColor");
inline const QString kEnabledName = QStringLiteral("Enabled");
inline const QString kMousePointerName = QStringLiteral("MousePointer");
inline const QString kAllowZoomInName = QStringLiteral("AllowZoomIn");
inline const QString kAllowZoomOutName = QStringLiteral("AllowZoomOut");
inline const QString kUseQuickBarName = QStringLiteral("UseQuickBar");
inline const QString kPanActiveName = QStringLiteral("PanActive");

} // namespace lensbox
