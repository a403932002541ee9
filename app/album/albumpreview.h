#pragma once

#include "albumlayout.h"

#include <QString>
#include <QStringList>

namespace tovin {

// The small album the batch window shows in its browser: the preview head
// with the layout's values, rows x columns x 2 copies of the preview entry,
// and the preview foot, written as Sorvel.xml beside the preview page.
class AlbumPreview
{
public:
    enum class Status { Written, TemplatesMissing, Failed };
    struct Result {
        Status status = Status::Failed;
        // The address of the preview page once written; what went wrong
        // otherwise.
        QString pageUrl;
        QString failure;
    };

    // The preview lives in the program's src/prv folder, or, where that
    // cannot be written (an installed program), in a copy of it in the
    // user's cache folder.
    AlbumPreview(QString programFolder, QString cacheFolder);

    // The first of the given pictures stand in for the preview's samples.
    Result write(const AlbumLayout &layout, const QStringList &pictures = {}) const;

    QString templateFolder() const;
    // Where Sorvel.xml and the page it is shown in are.
    QString pageFolder() const;

    static QString pageName() { return QStringLiteral("prv_Index.html"); }
    // How many of the user's pictures the preview shows at most.
    static constexpr int kMostPictures = 8;

private:
    void preparePageFolder() const;
    void writeAlbum(const AlbumLayout &layout) const;
    void writePictureList(const QStringList &pictures) const;

    QString m_programFolder;
    QString m_cacheFolder;
};

} // namespace tovin
