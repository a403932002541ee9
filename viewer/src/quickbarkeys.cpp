#include "quickbarkeys.h"

#include <QKeyEvent>

namespace lensbox {

std::optional<int> quickBarButtonForKey(const QKeyEvent &event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;
    switch (event.key()) {
    case Qt::Key_Plus:
        return 0;
    case Qt::Key_Minus:
        return 1;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F:
        return 2;
    default:
        return std::nullopt;
    }
}

QString quickBarKeysText(int button)
{
    constexpr const char *kTexts[] = {"+", "-", "Enter or F"};
    return QString::fromLatin1(kTexts[button]);
}

} // namespace lensbox
