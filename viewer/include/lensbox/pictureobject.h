#pragma once

#include "lensbox/lensbox_export.h"

#include <QImage>
#include <QList>
#include <QRectF>

#include <memory>

namespace lensbox {

// A picture as the control hands it to hosts. It never changes after it is
// made, so two controls (the main viewer and the large window) can hold the
// same object. An empty picture has handle 0.
//
// A large picture also keeps copies of itself averaged down to a half, a
// quarter and so on, made with it: drawing it much smaller then starts from a
// copy close to the drawn size, so a repaint never has to average millions of
// pixels on the window's thread. Make big pictures where the decode runs.
class LENSBOX_EXPORT PictureObject
{
public:
    PictureObject() = default;
    explicit PictureObject(QImage image);

    quint32 Handle() const { return m_handle; }
    const QImage &image() const { return m_image; }
    QSize size() const { return m_image.size(); }

    // Where to draw `part` of the picture (in its own pixels) at `drawnSize`
    // from: the smallest kept copy on which that part still covers at least
    // the drawn size, and the part in that copy's pixels; the picture itself
    // when no copy is big enough.
    struct Source {
        const QImage &image;
        QRectF part;
    };
    Source sourceFor(const QRectF &part, const QSize &drawnSize) const;

private:
    QImage m_image;
    QList<QImage> m_halvings; // each half the size of the one before
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
