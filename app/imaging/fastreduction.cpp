#include "fastreduction.h"

namespace tovin {

QSize decodedSize(QSize source, int denominator)
{
    return {int((qint64(source.width()) + denominator - 1) / denominator),
            int((qint64(source.height()) + denominator - 1) / denominator)};
}

int fastDecodeDenominator(QSize source, QSize target)
{
    for (int denominator : {8, 4, 2}) {
        const QSize decoded = decodedSize(source, denominator);
        // A picture too small to shrink gains nothing from it.
        if (decoded.width() >= target.width() && decoded.height() >= target.height() && decoded != source)
            return denominator;
    }
    return 1;
}

} // namespace tovin
