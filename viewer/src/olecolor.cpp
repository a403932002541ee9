#include "olecolor.h"

#include <tovin/colorvalue.h>

#include <QPalette>

#include <array>

namespace lensbox {

namespace {

// The palette role that plays each system colour index, in index order.
constexpr std::array<QPalette::ColorRole, 25> kSystemRoles{
    QPalette::Button, // 0 scroll bar
    QPalette::Dark, // 1 desktop
    QPalette::Highlight, // 2 active caption
    QPalette::Mid, // 3 inactive caption
    QPalette::Window, // 4 menu
    QPalette::Base, // 5 window
    QPalette::Shadow, // 6 window frame
    QPalette::WindowText, // 7 menu text
    QPalette::Text, // 8 window text
    QPalette::HighlightedText, // 9 caption text
    QPalette::Button, // 10 active border
    QPalette::Button, // 11 inactive border
    QPalette::Dark, // 12 application workspace
    QPalette::Highlight, // 13 highlight
    QPalette::HighlightedText, // 14 highlighted text
    QPalette::Button, // 15 button face
    QPalette::Mid, // 16 button shadow
    QPalette::PlaceholderText, // 17 grey text
    QPalette::ButtonText, // 18 button text
    QPalette::WindowText, // 19 inactive caption text
    QPalette::Light, // 20 button highlight
    QPalette::Shadow, // 21 3D dark shadow
    QPalette::Midlight, // 22 3D light
    QPalette::ToolTipText, // 23 tool tip text
    QPalette::ToolTipBase, // 24 tool tip background
};

} // namespace

QColor toQColor(OleColor color, const QPalette &system)
{
    if (color & kSystemColorFlag) {
        const quint32 index = color & 0xFFu;
        return system.color(index < kSystemRoles.size() ? kSystemRoles[index] : QPalette::Window);
    }
    const tovin::ColorChannels channels = tovin::channelsOf(color);
    return QColor(channels.red, channels.green, channels.blue);
}

} // namespace lensbox
