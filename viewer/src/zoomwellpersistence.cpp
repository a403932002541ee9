#include "lensbox/zoomwellctl.h"

#include "lensbox/propertybag.h"
#include "picturebox.h"

#include <tovin/numeric.h>

#include <optional>

namespace lensbox {

namespace {

const QString kAutoRedraw = QStringLiteral("AutoRedraw");
const QString kBackColor = QStringLiteral("BackColor");
const QString kEnabled = QStringLiteral("Enabled");
const QString kMousePointer = QStringLiteral("MousePointer");
const QString kAllowZoomIn = QStringLiteral("AllowZoomIn");
const QString kAllowZoomOut = QStringLiteral("AllowZoomOut");
const QString kUseQuickBar = QStringLiteral("UseQuickBar");
const QString kPanActive = QStringLiteral("PanActive");

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
std::optional<OleColor> readColour(const PropertyBag &bag, const QString &name, OleColor defaultValue)
{
    bool ok = false;
    const qlonglong number = bag.read(name, stored(defaultValue)).toLongLong(&ok);
    if (!ok || number < qlonglong(INT32_MIN) || number > qlonglong(UINT32_MAX))
        return std::nullopt;
    return static_cast<OleColor>(static_cast<quint32>(number));
}

} // namespace

void ZoomwellCtl::InitProperties()
{
    startRunning(this);
}

void ZoomwellCtl::ReadProperties(const PropertyBag &bag)
{
    startRunning(picMain);
    if (const auto value = readShort(bag, kAutoRedraw, kTrue))
        picView->setAutoRedraw(*value != 0);
    // Only the canvas: the frame, buffer and corner box keep their colours.
    if (const auto colour = readColour(bag, kBackColor, kApplicationWorkspace))
        picView->setBackColor(*colour);
    if (const auto value = readShort(bag, kEnabled, kTrue))
        setEnabled(*value);
    if (const auto value = readShort(bag, kMousePointer, 0))
        setMousePointer(*value);
    if (const auto value = readShort(bag, kAllowZoomIn, kFalse))
        setAllowZoomIn(*value);
    if (const auto value = readShort(bag, kAllowZoomOut, kFalse))
        setAllowZoomOut(*value);
    if (const auto value = readShort(bag, kUseQuickBar, kFalse))
        setUseQuickBar(*value);
    if (const auto value = readShort(bag, kPanActive, kFalse))
        setPanActive(*value);
}

void ZoomwellCtl::WriteProperties(PropertyBag &bag) const
{
    bag.write(kAutoRedraw, stored(AutoRedraw()), stored(kTrue));
    bag.write(kBackColor, stored(picView->backColor()), stored(kApplicationWorkspace));
    bag.write(kEnabled, stored(Enabled()), stored(kTrue));
    bag.write(kMousePointer, stored(MousePointer()), stored(short(0)));
    bag.write(kAllowZoomIn, stored(AllowZoomIn()), stored(kFalse));
    bag.write(kAllowZoomOut, stored(AllowZoomOut()), stored(kFalse));
    bag.write(kUseQuickBar, stored(UseQuickBar()), stored(kFalse));
    bag.write(kPanActive, stored(PanActive()), stored(kFalse));
}

} // namespace lensbox
