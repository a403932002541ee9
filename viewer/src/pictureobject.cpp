#include "lensbox/pictureobject.h"

#include <algorithm>
#include <atomic>

namespace lensbox {

namespace {

// Copies stop once the picture's long side is below this: reducing what is
// left at repaint time costs less than a millisecond.
constexpr int kSmallestHalving = 512;

quint32 nextHandle()
{
    static std::atomic<quint32> last{0};
    quint32 handle = ++last;
    if (handle == 0) // after wrapping round, 0 must still mean "no picture"
        handle = ++last;
    return handle;
}

// The four one-byte channels of a 32-bit pixel, each in a 16-bit lane, so
// that four pixels add up without one channel spilling into the next.
constexpr quint64 kLaneMask = 0x00ff00ff00ff00ffULL;

quint64 spreadChannels(quint32 pixel)
{
    return (quint64(pixel) | quint64(pixel) << 24) & kLaneMask;
}

quint32 joinChannels(quint64 lanes)
{
    return quint32((lanes & 0x00ff00ffULL) | ((lanes >> 24) & 0xff00ff00ULL));
}

// Each pixel of the result is the rounded mean of a 2 x 2 block, channel by
// channel (premultiplied, so transparent pixels weigh nothing); an odd last
// row or column is left out. Null when the memory is not there.
QImage halved(const QImage &image)
{
    QImage half(image.width() / 2, image.height() / 2, image.format());
    if (half.isNull())
        return half;
    for (int y = 0; y < half.height(); ++y) {
        const auto *top = reinterpret_cast<const quint32 *>(image.constScanLine(2 * y));
        const auto *bottom = reinterpret_cast<const quint32 *>(image.constScanLine(2 * y + 1));
        auto *out = reinterpret_cast<quint32 *>(half.scanLine(y));
        for (int x = 0; x < half.width(); ++x) {
            const quint64 sum = spreadChannels(top[2 * x]) + spreadChannels(top[2 * x + 1])
                + spreadChannels(bottom[2 * x]) + spreadChannels(bottom[2 * x + 1]) + 0x0002000200020002ULL;
            out[x] = joinChannels((sum >> 2) & kLaneMask);
        }
    }
    return half;
}

} // namespace

PictureObject::PictureObject(QImage image)
    : m_image(std::move(image))
    , m_handle(m_image.isNull() ? 0 : nextHandle())
{
    if (m_image.format() != QImage::Format_RGB32 && m_image.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    const QImage *last = &m_image;
    while (std::max(last->width(), last->height()) >= 2 * kSmallestHalving && last->width() >= 2
           && last->height() >= 2) {
        QImage half = halved(*last);
        if (half.isNull())
            return; // drawing falls back to reducing the larger copy
        m_halvings.append(std::move(half));
        last = &m_halvings.last();
    }
}

PictureObject::Source PictureObject::sourceFor(const QRectF &part, const QSize &drawnSize) const
{
    for (auto level = m_halvings.crbegin(); level != m_halvings.crend(); ++level) {
        const qreal xScale = qreal(level->width()) / m_image.width();
        const qreal yScale = qreal(level->height()) / m_image.height();
        const QRectF scaled(part.x() * xScale, part.y() * yScale, part.width() * xScale, part.height() * yScale);
        if (scaled.width() >= drawnSize.width() && scaled.height() >= drawnSize.height())
            return {*level, scaled};
    }
    return {m_image, part};
}

PictureRef makePicture(QImage image)
{
    return std::make_shared<const PictureObject>(std::move(image));
}

} // namespace lensbox
