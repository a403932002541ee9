#include "imagework.h"

#include "fileio.h"

#include <new>

namespace tovin {

ImageWorkResult runImageWork(const ImageWork &work)
{
    ImageWorkResult result;
    try {
        if (work.scales) {
            const ScaleOutcome outcome = tryScaleImageFile(work.source, work.scaledTemporary, work.settings);
            result.scaled = outcome.written;
            result.scaleError = outcome.error;
        }
        if (work.copiesSlide)
            copyFileReplacing(work.source, work.slideTemporary);
    } catch (const RuntimeError &error) {
        result.slideError = error;
    } catch (const std::bad_alloc &) {
        result.slideError = RuntimeError(7, QStringLiteral("Out of memory"));
    }
    return result;
}

} // namespace tovin
