#include "lensbox/zoomwellctl.h"

#include "lensbox/propertybag.h"
#include "picturebox.h"
#include "propertynames.h"

#include <tovin/numeric.h>

#include <QScopedValueRollback>

#include <optional>

namespace lensbox {

namespace {

QVariant stored(short value)
{
    return QVariant::fromValue(value);
}

QVariant stored(OleColor value)
{
    return QVariant::fromValue(value);
}

// A stored 16-bit value; a bag may hold a Boolean as bool or as a number. A
// value that is no 16-bit number is skipped and the property keeps its value.
std::optional<short> readShort(const PropertyBag &bag, const QString &name, short defaultValue)
{
    const QVariant value = bag.read(name, stored(defaultValue));
    if (value.typeId() == QMetaType::Bool)
        return toBoolean(value.toBool());
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || !tovin::fitsInt16(double(number)))
        return std::nullopt;
    return static_cast<short>(number);
}

// A colour may come back signed (0x8000000C read as a negative 32-bit
// number); it keeps its bits.
std::optional<OleColor> readColor(const PropertyBag &bag, const QString &name, OleColor defaultValue)
{
    bool ok = false;
    const qlonglong number = bag.read(name, stored(defaultValue)).toLongLong(&ok);
    if (!ok || number < qlonglong(INT32_MIN) || number > qlonglong(UINT32_MAX))
        return std::nullopt;
    return static_cast<OleColor>(static_cast<quint32>(number));
}

} // namespace

void ZoomwellCtl::initProperties()
{
    startRunning(this);
}

void ZoomwellCtl::readProperties(const PropertyBag &bag)
{
    // What is read back is what the host already keeps.
    const QScopedValueRollback reading(m_readingProperties, true);
    startRunning(picMain);
    if (const auto value = readShort(bag, kAutoRedrawName, kTrue))
        picView->setAutoRedraw(*value != 0);
    // Only the canvas: the frame, buffer and corner box keep their colours.
    if (const auto color = readColor(bag, kBackColorName, kApplicationWorkspace))
        picView->setBackColor(*color);
    if (const auto value = readShort(bag, kEnabledName, kTrue))
        setEnabled(*value);
    if (const auto value = readShort(bag, kMousePointerName, 0))
        setMousePointer(*value);
    if (const auto value = readShort(bag, kAllowZoomInName, kFalse))
        setAllowZoomIn(*value);
    if (const auto value = readShort(bag, kAllowZoomOutName, kFalse))
        setAllowZoomOut(*value);
    if (const auto value = readShort(bag, kUseQuickBarName, kFalse))
        setUseQuickBar(*value);
    if (const auto value = readShort(bag, kPanActiveName, kFalse))
        setPanActive(*value);
}

void ZoomwellCtl::writeProperties(PropertyBag &bag) const
{
    bag.write(kAutoRedrawName, stored(AutoRedraw()), stored(kTrue));
    bag.write(kBackColorName, stored(picView->backColor()), stored(kApplicationWorkspace));
    bag.write(kEnabledName, stored(Enabled()), stored(kTrue));
    bag.write(kMousePointerName, stored(MousePointer()), stored(short(0)));
    bag.write(kAllowZoomInName, stored(AllowZoomIn()), stored(kFalse));
    bag.write(kAllowZoomOutName, stored(AllowZoomOut()), stored(kFalse));
    bag.write(kUseQuickBarName, stored(UseQuickBar()), stored(kFalse));
    bag.write(kPanActiveName, stored(PanActive()), stored(kFalse));
}

} // namespace lensbox
