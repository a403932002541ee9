#include "adjustmentpanel.h"

#include "adjustmentfields.h"
#include "adjustmentrecordfields.h"
#include "busypointer.h"
#include "largepreviewopener.h"
#include "mainwindowform.h"
#include "previewcontroller.h"

#include <lensbox/zoomwellctl.h>

#include <QLabel>
#include <QToolButton>

namespace tovin {

AdjustmentPanel::AdjustmentPanel(const MainWindowForm &form, RecordStore &store, UserPrompts &prompts,
                                 const QString &previewFile, SelectedImageSource selectedImage, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_prompts(prompts)
    , m_commands(store, prompts)
    , m_selectedImage(std::move(selectedImage))
    , m_fields(new AdjustmentFields(form, prompts, this))
    , m_preview(new PreviewController(form, *m_fields, prompts, previewFile, this))
    , m_large(new LargePreviewOpener(form.Zoomwell, form.infoLabel, this))
{
    // Clicking a command takes the focus, so a field being left is checked
    // before the command runs.
    for (QToolButton *button : {form.previewButton, form.recordButton, form.resetButton, form.resetAllButton})
        button->setFocusPolicy(Qt::StrongFocus);
    connect(form.previewButton, &QToolButton::clicked, this, &AdjustmentPanel::previewClicked);
    connect(form.recordButton, &QToolButton::clicked, this, &AdjustmentPanel::recordClicked);
    connect(form.resetButton, &QToolButton::clicked, this, &AdjustmentPanel::resetClicked);
    connect(form.resetAllButton, &QToolButton::clicked, this, &AdjustmentPanel::resetAllClicked);
    connect(form.Zoomwell, &lensbox::ZoomwellCtl::MaxClick, m_large, &LargePreviewOpener::open);
}

AdjustmentPanel::~AdjustmentPanel() = default;

void AdjustmentPanel::showImageRecord(const QString &path)
{
    if (const std::optional<AdjustmentRecord> record = m_commands.storedAdjustments(path)) {
        m_fields->ShowRecordInFields(fieldsFromRecord(*record));
        m_preview->ShowPreview(false, path);
    } else {
        m_preview->ShowPreview(true, path);
    }
}

void AdjustmentPanel::previewClicked()
{
    if (m_fields->holdsRefusedField())
        return;
    if (const std::optional<SelectedImage> image = m_selectedImage())
        m_preview->ShowPreview(false, image->path);
}

void AdjustmentPanel::recordClicked()
{
    if (m_fields->holdsRefusedField())
        return;
    const std::optional<SelectedImage> image = m_selectedImage();
    if (!image)
        return;
    const BusyPointer busy(m_form.recordButton->window());
    m_commands.saveAdjustments(image->path, image->dateText, m_fields->values());
}

void AdjustmentPanel::resetClicked()
{
    if (const std::optional<SelectedImage> image = m_selectedImage())
        m_commands.clearAdjustments(image->path);
}

void AdjustmentPanel::resetAllClicked()
{
    m_commands.clearAllAdjustments();
}

} // namespace tovin
