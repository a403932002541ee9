#pragma once

#include "adjustedpreviewrunner.h"

#include <QObject>
#include <QString>

#include <functional>

class QLabel;

namespace tovin {

class AdjustmentFields;
struct MainWindowForm;
class PreviewBusyOverlay;
struct ViewerPicture;
class UserPrompts;

// What the main window's viewer and information line show: the chosen image
// as it is, fitted to the viewer, or the image with the adjustments in the
// fields, made into the preview file away from the window's thread. Pictures
// are decoded as the batch run decodes them; one it would pass over is
// named in the viewer with the reason, and the information line stays
// empty. The viewer's zoom buttons step its zoom.
class PreviewController : public QObject
{
    Q_OBJECT

public:
    PreviewController(const MainWindowForm &form, const AdjustmentFields &fields, UserPrompts &prompts,
                      QString previewFile, QObject *parent = nullptr);

    void ShowPreview(bool showUnadjusted, const QString &path);
    void ShowImageInfo(const QString &path);
    // Shows nothing any more (the photo is no longer listed): the viewer and
    // the information line emptied, whatever was being made dropped.
    void clear();

    bool isRendering() const { return m_runner.isBusy(); }
    const QString &previewFile() const { return m_runner.previewFile(); }

signals:
    // The viewer holds what the last request asked for (a picture, or
    // nothing after a failed preview).
    void previewShown();
    // A large photo shown as it is: its reduced picture is in the viewer and
    // the full one follows.
    void firstPictureShown();

private:
    // Ends whatever is shown or being made; the new request's number.
    quint64 beginRequest();
    // Decodes the picture file away from the window's thread at a zoom in
    // percent of its size and shows it with `show`, unless a newer request
    // came in meanwhile.
    void decodeForRequest(quint64 request, const QString &path, double zoomPercent,
                          std::function<void(const ViewerPicture &)> show);
    void showImageFitted(const QString &path, const ViewerPicture &decoded);
    void adjustedPreviewDone(const AdjustedPreviewOutcome &outcome);
    // The photo is not shown: the viewer says why and describes nothing.
    void showNotShown(ScaleSkip reason);
    void removePreviewFile();
    double dotsPerInch() const;

    const MainWindowForm &m_form;
    const AdjustmentFields &m_fields;
    UserPrompts &m_prompts;
    AdjustedPreviewRunner m_runner;
    PreviewBusyOverlay *m_busy;
    QLabel *m_note;
    // Counts the requests, so that a late answer to an older one is dropped.
    quint64 m_request = 0;
    // The photo of the newest request.
    QString m_path;
};

} // namespace tovin
