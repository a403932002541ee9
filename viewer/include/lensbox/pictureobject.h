#pragma once

#include "lensbox/lensbox_export.h"

#include <QImage>

#include <memory>

namespace lensbox {

// A picture as the control hands it to hosts. It never changes after it is
// made, so two controls (the main viewer and the large window) can hold the
// same object. An empty picture has handle 0.
class LENSBOX_EXPORT PictureObject
{
public:
    PictureObject() = default;
    explicit PictureObject(QImage image);

    quint32 Handle() const { return m_handle; }
    const QImage &image() const { return m_image; }
    QSize size() const { return m_image.size(); }

private:
    QImage m_image;
    quint32 m_handle = 0;
};

using PictureRef = std::shared_ptr<const PictureObject>;

LENSBOX_EXPORT PictureRef makePicture(QImage image);

// A picture reference that may be null counts as an empty picture.
inline bool holdsPicture(const PictureRef &picture)
{
    return picture && picture->Handle() != 0;
}

} // namespace lensbox
