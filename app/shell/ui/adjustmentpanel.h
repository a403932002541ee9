#pragma once

#include "recordcommands.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace tovin {

class AdjustmentFields;
class LargePreviewOpener;
struct MainWindowForm;
class PreviewController;
class RecordStore;
class UserPrompts;

// The image list entry the commands act on: its key (the image's path) and
// its "Date Created" text.
struct SelectedImage {
    QString path;
    QString dateText;
};

// Adjusting one image on the main window: the fields, the preview and the
// large preview, and the three record buttons.
class AdjustmentPanel : public QObject
{
    Q_OBJECT

public:
    using SelectedImageSource = std::function<std::optional<SelectedImage>()>;

    AdjustmentPanel(const MainWindowForm &form, RecordStore &store, UserPrompts &prompts, const QString &previewFile,
                    SelectedImageSource selectedImage, QObject *parent = nullptr);
    ~AdjustmentPanel() override;

    // An image entry was opened: its record, if it has one, is shown in the
    // fields and previewed; else the image itself is shown.
    void showImageRecord(const QString &path);

    AdjustmentFields &fields() { return *m_fields; }
    PreviewController &preview() { return *m_preview; }

private:
    void recordClicked();
    void resetClicked();
    void resetAllClicked();
    void previewClicked();

    const MainWindowForm &m_form;
    UserPrompts &m_prompts;
    RecordCommands m_commands;
    SelectedImageSource m_selectedImage;
    AdjustmentFields *m_fields;
    PreviewController *m_preview;
    LargePreviewOpener *m_large;
};

} // namespace tovin
