#include "albumlayoutfields.h"

namespace tovin {

const AlbumLayoutField *albumLayoutField(const QString &name)
{
    for (const AlbumLayoutField &field : kAlbumLayoutFields) {
        if (name == QLatin1String(field.name))
            return &field;
    }
    return nullptr;
}

} // namespace tovin
