#include "lensbox/pictureobject.h"

#include <atomic>

namespace lensbox {

namespace {

quint32 nextHandle()
{
    static std::atomic<quint32> last{0};
    quint32 handle = ++last;
    if (handle == 0) // after wrapping round, 0 must still mean "no picture"
        handle = ++last;
    return handle;
}

} // namespace

PictureObject::PictureObject(QImage image)
    : m_image(std::move(image))
    , m_handle(m_image.isNull() ? 0 : nextHandle())
{
}

PictureRef makePicture(QImage image)
{
    return std::make_shared<const PictureObject>(std::move(image));
}

} // namespace lensbox
