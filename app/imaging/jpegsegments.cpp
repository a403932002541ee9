#include "jpegsegments.h"

#include "fileio.h"

#include <QIODevice>

#include <cstring>

namespace tovin {
namespace {

constexpr uchar kMarkerStart = 0xFF;
constexpr uchar kStartOfImage = 0xD8;
constexpr uchar kEndOfImage = 0xD9;
constexpr uchar kStartOfScan = 0xDA;
// Far beyond any camera's or editor's metadata, short of a file that only
// pretends to have a header.
constexpr qint64 kMostHeaderBytes = 64 << 20;
constexpr qint64 kChunk = 64 * 1024;

bool isRestart(uchar code)
{
    return code >= 0xD0 && code <= 0xD7;
}

// Follows the scans a piece at a time, as they are copied, and tells where
// the end marker is. Inside compressed data a marker byte is followed by a
// stuffed zero or a restart code; any other code starts a segment (tables,
// the next scan) whose length is skipped, or is the end.
class ScanWalker
{
public:
    // How many of the bytes belong to the picture: all of them, or those up
    // to and including the end marker.
    qsizetype take(const char *data, qsizetype size)
    {
        qsizetype at = 0;
        while (at < size && m_state != State::Ended) {
            const uchar byte = uchar(data[at]);
            switch (m_state) {
            case State::Marker:
                // Anything but a marker here is taken as compressed data.
                m_state = byte == kMarkerStart ? State::Code : State::Compressed;
                ++at;
                break;
            case State::Code:
                ++at;
                code(byte);
                break;
            case State::LengthHigh:
                m_remaining = qint64(byte) << 8;
                m_state = State::LengthLow;
                ++at;
                break;
            case State::LengthLow:
                m_remaining = std::max<qint64>(0, (m_remaining | byte) - 2);
                m_state = State::Skip;
                ++at;
                break;
            case State::Skip: {
                const qint64 skipped = std::min<qint64>(m_remaining, size - at);
                at += skipped;
                m_remaining -= skipped;
                if (m_remaining == 0)
                    m_state = m_afterSegment;
                break;
            }
            case State::Compressed: {
                const void *marker = std::memchr(data + at, kMarkerStart, size_t(size - at));
                at = marker ? static_cast<const char *>(marker) - data + 1 : size;
                if (marker)
                    m_state = State::CompressedMarker;
                break;
            }
            case State::CompressedMarker:
                ++at;
                if (byte == 0 || isRestart(byte))
                    m_state = State::Compressed;
                else if (byte != kMarkerStart)
                    code(byte);
                break;
            case State::Ended:
                break;
            }
        }
        return at;
    }

    bool ended() const { return m_state == State::Ended; }

private:
    enum class State { Marker, Code, LengthHigh, LengthLow, Skip, Compressed, CompressedMarker, Ended };

    void code(uchar byte)
    {
        if (byte == kMarkerStart)
            return; // fill bytes before the code
        if (byte == kEndOfImage) {
            m_state = State::Ended;
        } else if (isRestart(byte) || byte == 0x01) {
            m_state = State::Compressed;
        } else {
            m_afterSegment = byte == kStartOfScan ? State::Compressed : State::Marker;
            m_state = State::LengthHigh;
        }
    }

    State m_state = State::Marker;
    State m_afterSegment = State::Marker;
    qint64 m_remaining = 0;
};

std::optional<uchar> readByte(QIODevice &input)
{
    char byte = 0;
    if (!input.getChar(&byte))
        return std::nullopt;
    return uchar(byte);
}

} // namespace

std::optional<QList<JpegSegment>> readJpegSegments(QIODevice &input)
{
    if (input.read(2) != QByteArray("\xFF\xD8", 2))
        return std::nullopt;
    QList<JpegSegment> segments;
    qint64 headerBytes = 0;
    for (;;) {
        std::optional<uchar> byte = readByte(input);
        if (byte != kMarkerStart)
            return std::nullopt;
        while (byte == kMarkerStart)
            byte = readByte(input);
        if (!byte || *byte == kStartOfImage || *byte == kEndOfImage || isRestart(*byte) || *byte == 0x01 || *byte == 0)
            return std::nullopt;
        if (*byte == kStartOfScan) {
            // The scan is copied from its marker on.
            input.seek(input.pos() - 2);
            return segments;
        }
        const QByteArray length = input.read(2);
        if (length.size() != 2)
            return std::nullopt;
        const int dataLength = (uchar(length[0]) << 8 | uchar(length[1])) - 2;
        headerBytes += dataLength + 4;
        if (dataLength < 0 || headerBytes > kMostHeaderBytes)
            return std::nullopt;
        JpegSegment segment{*byte, input.read(dataLength)};
        if (segment.data.size() != dataLength)
            return std::nullopt;
        segments.append(std::move(segment));
    }
}

QByteArray jpegHeaderBytes(const QList<JpegSegment> &segments)
{
    QByteArray header("\xFF\xD8", 2);
    for (const JpegSegment &segment : segments) {
        const qsizetype length = segment.data.size() + 2;
        header.append(char(kMarkerStart)).append(char(segment.marker));
        header.append(char(length >> 8)).append(char(length & 0xFF));
        header.append(segment.data);
    }
    return header;
}

bool copyJpegScans(QIODevice &input, QIODevice &output)
{
    ScanWalker walker;
    QByteArray chunk(kChunk, Qt::Uninitialized);
    while (!walker.ended()) {
        const qint64 read = input.read(chunk.data(), kChunk);
        if (read < 0)
            return false;
        if (read == 0)
            break;
        const qsizetype kept = walker.take(chunk.constData(), qsizetype(read));
        if (!writeWhole(output, chunk.constData(), kept))
            break;
    }
    return true;
}

} // namespace tovin
