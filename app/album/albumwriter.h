#pragma once

#include "albumlayout.h"

#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>
#include <memory>

class QSaveFile;

namespace tovin {

// What the album says about one image.
struct AlbumEntry {
    QString outputName;
    std::int32_t thumbWidth = 0;
    std::int32_t thumbHeight = 0;
    std::int32_t slideWidth = 0;
    std::int32_t slideHeight = 0;
    QString date;
    QString description;
};

// Writes a Sorvel album into a folder: "Sorvel.xml" expanded from the head,
// loop and foot templates, and the player, start page and button images
// beside it. Values are inserted as they stand, except what no XML text can
// hold (see cdataSafe). Failures raise RuntimeError.
//
// Sorvel.xml is written under a temporary name and put in place by finish().
// A new album starts as an empty one that opens, so that a run killed at any
// moment leaves an album file behind its start page. An album that ends
// early (abort()) is closed with its foot and put in place only where no
// album file stood before, so a finished album is never replaced by an
// unfinished one. A start that fails takes away what it put in the folder.
class AlbumWriter
{
public:
    explicit AlbumWriter(QString templateFolder);
    ~AlbumWriter();
    AlbumWriter(const AlbumWriter &) = delete;
    AlbumWriter &operator=(const AlbumWriter &) = delete;

    // True when at least one of the three templates is there.
    bool templatesPresent() const;

    void start(const QString &folder, const AlbumLayout &layout);
    void addEntry(const AlbumEntry &entry);
    void finish();
    void abort();

    static QString albumFileName() { return QStringLiteral("Sorvel.xml"); }
    static QString startPageName() { return QStringLiteral("index.html"); }

private:
    QString templatePath(const QString &name) const;
    void openAlbumFile(const QString &path);
    void write(const QString &piece);
    void close();

    QString m_templateFolder;
    QString m_loopTemplate;
    QString m_foot;
    std::unique_ptr<QSaveFile> m_file;
    bool m_replacesAlbum = false;
};

// Replaces every occurrence of each token, in the order given, each on the
// result of the one before; letter case must match.
QString expandTokens(QString text, const QList<QPair<QString, QString>> &replacements);

// The templates put every value inside a CDATA section. A value holding
// "]]>" would end that section early, and a few control characters can
// stand in no XML text at all: the first is split across two sections (it
// still reads as typed), the others are left out.
QString cdataSafe(const QString &value);

} // namespace tovin
