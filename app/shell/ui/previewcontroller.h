#pragma once

#include "adjustedpreviewrunner.h"

#include <lensbox/pictureobject.h>

#include <QObject>
#include <QString>

#include <functional>

namespace tovin {

class AdjustmentFields;
struct MainWindowForm;
class PreviewBusyOverlay;
class UserPrompts;

// What the main window's viewer and information line show: the chosen image
// as it is, fitted to the viewer, or the image with the adjustments in the
// fields, made into the preview file away from the window's thread. The
// viewer's zoom buttons step its zoom.
class PreviewController : public QObject
{
    Q_OBJECT

public:
    PreviewController(const MainWindowForm &form, const AdjustmentFields &fields, UserPrompts &prompts,
                      QString previewFile, QObject *parent = nullptr);

    void ShowPreview(bool showUnadjusted, const QString &path);
    void ShowImageInfo(const QString &path);

    bool isRendering() const { return m_runner.isBusy(); }
    const QString &previewFile() const { return m_runner.previewFile(); }

signals:
    // The viewer holds what the last request asked for (a picture, or
    // nothing after a failed adjusted preview).
    void previewShown();
    // A large photo shown as it is: its reduced picture is in the viewer and
    // the full one follows.
    void firstPictureShown();

private:
    // Decodes the picture file away from the window's thread and shows it
    // with `show`, unless a newer request came in meanwhile.
    void decodeForRequest(quint64 request, const QString &path, std::function<void(const lensbox::PictureRef &)> show);
    void showImageFitted(const QString &path, const lensbox::PictureRef &upright);
    void adjustedPreviewDone(const AdjustedPreviewOutcome &outcome);
    void removePreviewFile();
    double dotsPerInch() const;

    const MainWindowForm &m_form;
    const AdjustmentFields &m_fields;
    UserPrompts &m_prompts;
    AdjustedPreviewRunner m_runner;
    PreviewBusyOverlay *m_busy;
    // Counts the requests, so that a late answer to an older one is dropped.
    quint64 m_request = 0;
};

} // namespace tovin
