#include "lensbox/controlfactory.h"

#include "lensbox/propertybag.h"
#include "lensbox/zoomwellctl.h"

namespace lensbox {

ControlCreation createControl(const QString &identifier, QWidget *parent, const PropertyBag *savedProperties)
{
    const QString known = QString::fromLatin1(kZoomwellIdentifier);
    if (identifier.compare(known, Qt::CaseInsensitive) != 0) {
        return {
            nullptr,
            QStringLiteral("The Lensbox library has no control \"%1\"; it holds only \"%2\".").arg(identifier, known)};
    }
    auto *control = new ZoomwellCtl(parent);
    if (savedProperties)
        control->readProperties(*savedProperties);
    else
        control->initProperties();
    return {control, QString()};
}

} // namespace lensbox
