#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

namespace tovin {

// What a photo's header tells about putting it on the web, read without
// decoding its picture.
struct PhotoFacts {
    // As the header states it; 0 x 0 for a file that is no readable JPEG.
    QSize size;
    QByteArray colourProfile;
    bool carriesLocation = false;
};

PhotoFacts readPhotoFacts(const QString &path);

} // namespace tovin
