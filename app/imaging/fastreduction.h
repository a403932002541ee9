#pragma once

#include <QSize>

namespace tovin {

// The JPEG decoder can shrink a picture by 1/2, 1/4 or 1/8 while decoding,
// far more cheaply than resampling it afterwards. For a reduction to the
// target size this is the largest such denominator whose decoded picture is
// still at least the target in both sides, so that the chosen filter always
// does the last, exact step; 1 when no shrinking qualifies (an enlargement,
// a reduction by less than half, or a picture whose sides the denominators
// leave as they are).
int fastDecodeDenominator(QSize source, QSize target);

// The size the decoder gives for that denominator: each side divided and
// rounded up, as libjpeg computes it.
QSize decodedSize(QSize source, int denominator);

} // namespace tovin
