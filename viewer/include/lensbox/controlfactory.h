#pragma once

#include "lensbox/lensbox_export.h"

#include <QString>

class QWidget;

namespace lensbox {

class PropertyBag;
class ZoomwellCtl;

// The identifier hosts create the viewer control by.
inline constexpr char kZoomwellIdentifier[] = "Lensbox.ZoomwellCtl";

struct ControlCreation {
    ZoomwellCtl *control = nullptr; // owned by the parent given, or by the caller
    QString error; // why no control was made
};

// Creates the control named by `identifier` (matched without regard to case).
// With saved properties the control reads them; without, it starts as a new
// instance. An unknown identifier makes no control and says so in `error`.
LENSBOX_EXPORT ControlCreation createControl(const QString &identifier, QWidget *parent = nullptr,
                                             const PropertyBag *savedProperties = nullptr);

} // namespace lensbox
