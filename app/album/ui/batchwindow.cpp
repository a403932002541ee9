#include "batchwindow.h"

#include "albumlayoutfields.h"
#include "albumpreview.h"
#include "batchwindowsize.h"
#include "dialogwindow.h"
#include "fieldchecks.h"
#include "fieldfocusrules.h"
#include "messagetable.h"
#include "numbertext.h"
#include "paths.h"
#include "platformcolor.h"
#include "qtcolor.h"
#include "runprogress.h"
#include "settingsstore.h"
#include "slidesize.h"
#include "twipsgeometry.h"
#include "units.h"
#include "userprompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QStandardPaths>
#include <QStyle>
#include <QTabBar>
#include <QtConcurrent>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <algorithm>
#include <array>

namespace tovin {
namespace {

// The three columns: left edge and width in twips; each spans the window's
// height less a margin above and below.
constexpr double kMargin = 120;
constexpr std::array<std::pair<double, double>, 3> kColumns{{{120, 3375}, {3720, 3375}, {7200, 3135}}};

constexpr int kPreviewDelayMs = 400;

// A line of a layout page: an optional heading, then up to two labelled
// fields or swatches.
struct PageLine {
    int heading;
    std::array<std::pair<int, const char *>, 2> cells;
};

const std::array<QList<PageLine>, 3> kPages{{
    {{0, {{{155, "slide_x"}, {156, "slide_y"}}}},
     {0, {{{148, "slide_p"}, {147, "slide_a"}}}},
     {0, {{{145, "slide_bg"}, {0, nullptr}}}},
     {0, {{{146, "slide_ln"}, {0, nullptr}}}}},
    {{0, {{{153, "thumb_r"}, {154, "thumb_c"}}}},
     {0, {{{155, "thumb_x"}, {156, "thumb_y"}}}},
     {0, {{{157, "thumb_w"}, {158, "thumb_h"}}}},
     {0, {{{148, "thumb_p"}, {149, "thumb_s"}}}},
     {0, {{{147, "thumb_a"}, {0, nullptr}}}},
     {0, {{{145, "thumb_bg"}, {0, nullptr}}}},
     {0, {{{146, "thumb_ln"}, {0, nullptr}}}}},
    {{150, {{{155, "bbutton_x"}, {156, "bbutton_y"}}}},
     {151, {{{155, "nbutton_x"}, {156, "nbutton_y"}}}},
     {152, {{{157, "caption_w"}, {158, "caption_h"}}}},
     {0, {{{145, "caption_bg"}, {0, nullptr}}}},
     {0, {{{146, "caption_ln"}, {0, nullptr}}}}},
}};

const std::array<const char *, 3> kTabCaptions{"&Slide", "&Thumbnails", "&Misc"};

const QString kBrowseTip = QStringLiteral("Browse For Folder");
const QString kGenerateTip = QStringLiteral("Click to begin scaling image(s).");
const QString kCancelTip = QStringLiteral("Cancel.");

// The swatches' hexadecimal texts are computed in this order when the window
// opens.
const std::array<const char *, 6> kSwatchOrder{"slide_bg", "slide_ln",   "thumb_bg",
                                               "thumb_ln", "caption_bg", "caption_ln"};

int imageCount(const QList<BatchItem> &items)
{
    return int(std::count_if(items.begin(), items.end(),
                             [](const BatchItem &item) { return item.selected && item.kind == ListEntryKind::Image; }));
}

} // namespace

// How a run shows itself on the window.
class BatchWindow::RunObserver final : public BatchObserver
{
public:
    explicit RunObserver(BatchWindow &window)
        : m_window(window)
    {
    }

    void setControlsEnabled(bool enabled) override { m_window.setRunControlsEnabled(enabled); }
    void setBusy(bool busy) override
    {
        if (busy)
            m_window.setCursor(Qt::BusyCursor);
        else
            m_window.unsetCursor();
    }
    void setTitle(const QString &title) override
    {
        m_window.setWindowTitle(title);
        m_window.m_runTitle = title;
    }
    // The bar and the Stop button are served between images as well as while
    // the run waits for an image.
    void imagesDone(int done, int total) override
    {
        m_window.showRunProgress(done, total);
        m_window.projectRunOutput(done);
    }
    void outputWritten(qint64 bytes) override
    {
        m_window.m_runOutputBytes += bytes;
        QCoreApplication::processEvents();
    }
    void albumTemplatesMissing() override { m_window.chooseMode(BatchMode::ScaleOnly); }
    void processPendingEvents() override
    {
        m_window.showRunProgress(m_window.m_progressBar->value(), m_window.m_progressBar->maximum());
        QCoreApplication::processEvents();
    }
    void waitFor(QFuture<void> work) override
    {
        QEventLoop loop;
        QFutureWatcher<void> watcher;
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(work);
        if (!work.isFinished())
            loop.exec();
    }
    bool stopRequested() override { return m_window.m_stopRequested; }
    // Shown after the run's last title, so that no image goes missing unseen.
    void imagesSkipped(const QList<SkippedImage> &images) override
    {
        m_window.m_context.prompts.showNotice(skippedImagesText(images), m_window.windowTitle());
    }

private:
    BatchWindow &m_window;
};

BatchWindow::BatchWindow(BatchWindowContext context, QWidget *parent)
    : QDialog(parent)
    , m_context(std::move(context))
    , m_previewTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmBatch"));
    setModal(true);
    useDesignFont(this);
    setWindowTitle(message(115));
    // frmDialog, the window's own for as long as it lives: the prompts find
    // it here when the run asks or tells.
    new DialogWindow(this);
    m_focusRules = new FieldFocusRules(this);
    m_left = buildLeftColumn();
    m_middle = buildMiddleColumn();
    m_right = buildRightColumn();

    fill(loadBatchSettings(m_context.settings));
    m_estimate = estimateBatch(m_context.items);
    m_estimateLabel->setText(m_estimate.text());
    m_browser->setUrl(QUrl(QStringLiteral("about:blank")));
    surveyPhotos();

    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(kPreviewDelayMs);
    connect(m_previewTimer, &QTimer::timeout, this, [this] {
        if (!m_previewUnavailable && mode() != BatchMode::ScaleOnly)
            showAlbumPreview();
    });

    // Opens at its design size, all three columns showing, "&Scale Only"
    // chosen and the pages disabled.
    m_options[0]->setChecked(true);
    for (QWidget *frame : std::as_const(m_tabFrames))
        frame->setEnabled(false);
    m_slidesChoice->setEnabled(false);
    const QSize design = twipsSize(kBatchWindowDesignTwips.width(), kBatchWindowDesignTwips.height(), this);
    resize(design.width(), std::max(design.height(), contentHeight()));
}

// The columns' content never gets less height than it needs.
int BatchWindow::contentHeight() const
{
    return std::max(m_left->sizeHint().height(), m_middle->sizeHint().height()) + 2 * twipsToPixels(kMargin, this);
}

BatchWindow::~BatchWindow()
{
    m_survey.cancel();
    m_survey.waitForFinished();
}

QWidget *BatchWindow::buildLeftColumn()
{
    auto *column = new QWidget(this);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *saveTo = new QGroupBox(message(70), column);
    saveTo->setObjectName(QStringLiteral("Frame1"));
    auto *saveToLayout = new QHBoxLayout(saveTo);
    m_dstInput = new QLineEdit(saveTo);
    m_dstInput->setObjectName(QStringLiteral("dstInput"));
    m_dstButton = new QToolButton(saveTo);
    m_dstButton->setObjectName(QStringLiteral("dstButton"));
    m_dstButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_dstButton->setToolTip(kBrowseTip);
    saveToLayout->addWidget(m_dstInput);
    saveToLayout->addWidget(m_dstButton);
    layout->addWidget(saveTo);

    auto *saveAs = new QGroupBox(message(71), column);
    saveAs->setObjectName(QStringLiteral("Frame2"));
    auto *saveAsLayout = new QHBoxLayout(saveAs);
    m_saveasInput = new QLineEdit(saveAs);
    m_saveasInput->setObjectName(QStringLiteral("saveasInput"));
    saveAsLayout->addWidget(m_saveasInput);
    saveAsLayout->addWidget(new QLabel(QStringLiteral("No."), saveAs));
    layout->addWidget(saveAs);

    auto *options = new QGroupBox(message(72), column);
    options->setObjectName(QStringLiteral("Frame3"));
    auto *optionsLayout = new QVBoxLayout(options);
    const std::array<int, 3> captions{75, 76, 78};
    const std::array<BatchMode, 3> modes{BatchMode::ScaleOnly, BatchMode::ScaleAndAlbum, BatchMode::AlbumOnly};
    for (int i = 0; i < 3; ++i) {
        m_options[i] = new QRadioButton(message(captions[i]), options);
        m_options[i]->setObjectName(QStringLiteral("scaleOption%1").arg(i + 1));
        optionsLayout->addWidget(m_options[i]);
        connect(m_options[i], &QRadioButton::clicked, this, [this, mode = modes[i]] { chooseMode(mode); });
    }
    const auto addCheckBox = [&](const QString &caption, const QString &name, const QString &tip) {
        auto *box = new QCheckBox(caption, options);
        box->setObjectName(name);
        box->setToolTip(tip);
        optionsLayout->addWidget(box);
        return box;
    };
    const auto addNote = [&](const QString &name) {
        auto *note = new QLabel(options);
        note->setObjectName(name);
        note->setWordWrap(true);
        optionsLayout->addWidget(note);
        return note;
    };
    m_fastReduction = addCheckBox(
        QStringLiteral("&Fast reduction"), QStringLiteral("fastReduction"),
        QStringLiteral("Reduced images are shrunk while they are decoded, then filtered to their exact size: "
                       "much faster, slightly different pixels."));
    m_convertToSrgb = addCheckBox(
        QStringLiteral("Convert colours to sRG&B"), QStringLiteral("convertToSrgb"),
        QStringLiteral("Photos with a colour profile (Adobe RGB, Display P3) get sRGB pixels. Otherwise they keep "
                       "their profile, which every current browser honours."));
    m_removePrivateData = addCheckBox(
        QStringLiteral("Remove &location and\nserial numbers"), QStringLiteral("removePrivateData"),
        QStringLiteral("Leaves out the GPS position and other location fields, the serial numbers, the owner's "
                       "name, maker notes and thumbnails. Orientation, date, camera, exposure, copyright and "
                       "description stay."));
    m_locationLabel = addNote(QStringLiteral("locationLabel"));
    connect(m_removePrivateData, &QCheckBox::toggled, this, &BatchWindow::showPublishing);
    m_estimateLabel = addNote(QStringLiteral("estimateLabel"));
    // Room for the projection that a run adds, so that nothing moves.
    m_estimateLabel->setMinimumHeight(2 * m_estimateLabel->fontMetrics().lineSpacing());
    layout->addWidget(options);

    auto *buttons = new QHBoxLayout;
    m_generateButton = new QPushButton(message(73), column);
    m_generateButton->setObjectName(QStringLiteral("generateButton"));
    m_generateButton->setToolTip(kGenerateTip);
    m_cancelButton = new QPushButton(message(74), column);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setToolTip(kCancelTip);
    m_cancelButton->setAutoDefault(false);
    m_generateButton->setAutoDefault(false);
    buttons->addWidget(m_generateButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
    connect(m_generateButton, &QPushButton::clicked, this, &BatchWindow::generate);
    connect(m_cancelButton, &QPushButton::clicked, this, &BatchWindow::reject);
    connect(m_dstButton, &QToolButton::clicked, this, &BatchWindow::browseForFolder);

    m_progressPanel = new QWidget(column);
    m_progressPanel->setObjectName(QStringLiteral("progressPanel"));
    auto *progressLayout = new QVBoxLayout(m_progressPanel);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    m_progressBar = new QProgressBar(m_progressPanel);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setFormat(QStringLiteral("%v of %m"));
    m_progressLabel = new QLabel(m_progressPanel);
    m_progressLabel->setObjectName(QStringLiteral("progressLabel"));
    m_progressLabel->setWordWrap(true);
    // Alt+T is the Thumbnails page's.
    m_stopButton = new QPushButton(QStringLiteral("Sto&p"), m_progressPanel);
    m_stopButton->setObjectName(QStringLiteral("stopButton"));
    m_stopButton->setToolTip(QStringLiteral("Stop after the images under way (Esc)."));
    m_stopButton->setAutoDefault(false);
    m_stopButton->setCursor(Qt::ArrowCursor);
    progressLayout->addWidget(m_progressBar);
    progressLayout->addWidget(m_progressLabel);
    progressLayout->addWidget(m_stopButton);
    // The panel's place is kept while it is hidden, so that a run moves
    // nothing and the window's height always has room for it.
    QSizePolicy keepsPlace = m_progressPanel->sizePolicy();
    keepsPlace.setRetainSizeWhenHidden(true);
    m_progressPanel->setSizePolicy(keepsPlace);
    m_progressPanel->hide();
    layout->addWidget(m_progressPanel);
    layout->addStretch();
    connect(m_stopButton, &QPushButton::clicked, this, &BatchWindow::requestStop);

    for (QLineEdit *field : {m_dstInput, m_saveasInput})
        m_focusRules->addField(field, [this, field] { return fieldAccepted(field); });
    // Enter presses the button that has the focus, and only that one: a
    // field's Enter starts nothing.
    for (QPushButton *button : {m_generateButton, m_cancelButton, m_stopButton})
        button->installEventFilter(this);
    return column;
}

QWidget *BatchWindow::buildMiddleColumn()
{
    auto *column = new QWidget(this);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_tabs = new QTabBar(column);
    m_tabs->setObjectName(QStringLiteral("adjustmentTabs"));
    for (const char *caption : kTabCaptions)
        m_tabs->addTab(QLatin1String(caption));
    layout->addWidget(m_tabs);

    m_pages = new QStackedLayout;
    for (int index = 0; index < 3; ++index) {
        QWidget *frame = buildPage(index);
        m_tabFrames.append(frame);
        m_pages->addWidget(frame);
    }
    layout->addLayout(m_pages);
    layout->addSpacing(twipsToPixels(kMargin, this));
    layout->addWidget(buildSlidesChoice());
    layout->addStretch();
    // A page is left as its field with the focus would be: a refused value
    // keeps its page in front.
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(m_pages->currentIndex());
        if (!m_focusRules->checkFocusedField())
            return;
        m_tabs->setCurrentIndex(index);
        m_pages->setCurrentIndex(index);
    });
    return column;
}

QWidget *BatchWindow::buildSlidesChoice()
{
    m_slidesChoice = new QGroupBox(QStringLiteral("Slides:"));
    m_slidesChoice->setObjectName(QStringLiteral("slidesChoice"));
    auto *grid = new QGridLayout(m_slidesChoice);
    m_originalSlides = new QRadioButton(QStringLiteral("the o&riginal files"), m_slidesChoice);
    m_originalSlides->setObjectName(QStringLiteral("originalSlides"));
    m_fittedSlides = new QRadioButton(QStringLiteral("scaled to fit &within"), m_slidesChoice);
    m_fittedSlides->setObjectName(QStringLiteral("fittedSlides"));
    m_slideSide = new QLineEdit(m_slidesChoice);
    m_slideSide->setObjectName(QStringLiteral("slideSide"));
    m_slideSide->setMaxLength(4);
    m_slideSide->setFixedWidth(m_slideSide->fontMetrics().horizontalAdvance(QStringLiteral("88888")) + 12);
    m_focusRules->addField(m_slideSide, [this] { return slideSideAccepted(); });
    m_slideSideEcho = new QLabel(m_slidesChoice);
    m_slideSideEcho->setObjectName(QStringLiteral("slideSideEcho"));
    grid->addWidget(m_originalSlides, 0, 0, 1, 3);
    grid->addWidget(m_fittedSlides, 1, 0, 1, 3);
    grid->addWidget(m_slideSide, 2, 1);
    grid->addWidget(m_slideSideEcho, 2, 2);
    grid->setColumnMinimumWidth(0, twipsToPixels(240, this));
    grid->setColumnStretch(2, 1);
    connect(m_fittedSlides, &QRadioButton::toggled, this, [this](bool fitted) {
        m_slideSide->setEnabled(fitted && m_slidesChoice->isEnabled());
        showPublishing();
    });
    connect(m_slideSide, &QLineEdit::textChanged, this, [this](const QString &side) {
        m_slideSideEcho->setText(QStringLiteral("\u00D7 %1 pixels").arg(side.trimmed()));
        showPublishing();
    });
    return m_slidesChoice;
}

QWidget *BatchWindow::buildPage(int index)
{
    auto *frame = new QGroupBox;
    frame->setObjectName(QStringLiteral("TabFrame%1").arg(index + 1));
    auto *grid = new QGridLayout(frame);
    int row = 0;
    for (const PageLine &line : kPages[index]) {
        if (line.heading != 0)
            grid->addWidget(new QLabel(message(line.heading), frame), row++, 0, 1, 4);
        for (int cell = 0; cell < 2; ++cell) {
            const auto &[caption, name] = line.cells[cell];
            if (name == nullptr)
                continue;
            const bool isSwatch = albumLayoutField(QLatin1String(name))->range == FieldRange::Color;
            grid->addWidget(new QLabel(message(caption), frame), row, cell * 2);
            if (isSwatch)
                grid->addWidget(swatch(name), row, 1, 1, 3);
            else
                grid->addWidget(layoutField(name), row, cell * 2 + 1);
        }
        ++row;
    }
    grid->setRowStretch(row, 1);
    return frame;
}

QLineEdit *BatchWindow::layoutField(const char *name)
{
    auto *field = new QLineEdit;
    field->setObjectName(QLatin1String(name));
    field->installEventFilter(this);
    m_focusRules->addField(field, [this, field] { return layoutFieldAccepted(field); });
    m_fields.insert(field->objectName(), field);
    return field;
}

QWidget *BatchWindow::swatch(const char *name)
{
    auto *holder = new QWidget;
    auto *layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *color = new QLabel(holder);
    color->setObjectName(QLatin1String(name));
    color->setFixedSize(twipsSize(600, 255, this));
    color->setFrameShape(QFrame::Box);
    color->setAutoFillBackground(true);
    color->setCursor(Qt::PointingHandCursor);
    color->installEventFilter(this);
    auto *text = new QLabel(holder);
    text->setObjectName(QLatin1String(name) + QStringLiteral("Hex"));
    layout->addWidget(color);
    layout->addWidget(text);
    layout->addStretch();
    m_swatches.insert(color->objectName(), color);
    m_swatchTexts.insert(color->objectName(), text);
    return holder;
}

QWidget *BatchWindow::buildRightColumn()
{
    auto *column = new QWidget(this);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    m_updatePreview = new QPushButton(QStringLiteral("Update Preview"), column);
    m_updatePreview->setObjectName(QStringLiteral("updatePreview"));
    m_updatePreview->setAutoDefault(false);
    m_updatePreview->installEventFilter(this);
    m_browser = new QWebEngineView(column);
    m_browser->setObjectName(QStringLiteral("WebBrowser1"));
    m_toolTipLabel = new QLabel(message(159), column);
    m_toolTipLabel->setObjectName(QStringLiteral("toolTipLabel"));
    m_toolTipLabel->setWordWrap(true);
    m_toolTipLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_toolTipLabel->setMinimumHeight(twipsToPixels(600, this));
    layout->addWidget(m_updatePreview);
    layout->addWidget(m_browser, 1);
    layout->addWidget(m_toolTipLabel);
    connect(m_updatePreview, &QPushButton::clicked, this, &BatchWindow::showAlbumPreview);
    return column;
}

void BatchWindow::fill(const BatchSettings &values)
{
    m_dstInput->setText(values.destination);
    m_saveasInput->setText(values.baseName);
    m_fastReduction->setChecked(values.fastReduction);
    m_convertToSrgb->setChecked(values.convertToSrgb);
    m_removePrivateData->setChecked(values.removePrivateData);
    (values.slidesFitted ? m_fittedSlides : m_originalSlides)->setChecked(true);
    m_slideSide->setText(values.slideSide);
    m_slideSide->setEnabled(values.slidesFitted);
    for (const AlbumLayoutField &field : kAlbumLayoutFields) {
        const QString name = QLatin1String(field.name);
        if (field.range == FieldRange::Color)
            m_colors.insert(name, values.layout.swatches.value(name));
        else
            m_fields.value(name)->setText(values.layout.fields.value(name));
    }
    for (const char *name : kSwatchOrder)
        setSwatchColor(QLatin1String(name), m_colors.value(QLatin1String(name)));
}

BatchMode BatchWindow::mode() const
{
    if (m_options[1]->isChecked())
        return BatchMode::ScaleAndAlbum;
    if (m_options[2]->isChecked())
        return BatchMode::AlbumOnly;
    return BatchMode::ScaleOnly;
}

BatchSettings BatchWindow::values() const
{
    BatchSettings values{m_dstInput->text(),           m_saveasInput->text(),        {},
                         m_fastReduction->isChecked(), m_convertToSrgb->isChecked(), m_removePrivateData->isChecked(),
                         m_fittedSlides->isChecked(),  m_slideSide->text()};
    for (auto field = m_fields.begin(); field != m_fields.end(); ++field)
        values.layout.fields.insert(field.key(), field.value()->text());
    values.layout.swatches = m_colors;
    return values;
}

void BatchWindow::setSwatchColor(const QString &name, std::int32_t color)
{
    m_colors.insert(name, color);
    QLabel *swatch = m_swatches.value(name);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, toQColor(color));
    swatch->setPalette(palette);
    m_swatchTexts.value(name)->setText(ColorToHexRGB(color));
}

void BatchWindow::chooseSwatchColor(const QString &name)
{
    const int chosen = m_context.prompts.chooseColor(m_lastChosenColor);
    if (chosen < 0)
        return;
    m_lastChosenColor = chosen;
    setSwatchColor(name, chosen);
    schedulePreview();
}

bool BatchWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && m_swatches.contains(watched->objectName())
        && m_swatches.value(watched->objectName()) == watched) {
        chooseSwatchColor(watched->objectName());
        return true;
    }
    if (auto *button = qobject_cast<QPushButton *>(watched); button && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            button->click();
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn) {
        if (const AlbumLayoutField *layout = albumLayoutField(watched->objectName()))
            m_toolTipLabel->setText(message(layout->helpMessage));
    }
    return QDialog::eventFilter(watched, event);
}

void BatchWindow::keyPressEvent(QKeyEvent *event)
{
    if (m_running && event->key() == Qt::Key_Escape) {
        requestStop();
        return;
    }
    QDialog::keyPressEvent(event);
}

// A refused field on a page not shown (checked before a run) is shown, so
// that it can take the focus; the field that had it is not left by the user.
bool BatchWindow::layoutFieldAccepted(QLineEdit *field)
{
    if (fieldAccepted(field))
        return true;
    for (int page = 0; page < m_tabFrames.size(); ++page) {
        if (m_tabFrames.at(page)->isAncestorOf(field) && page != m_pages->currentIndex()) {
            const QSignalBlocker quiet(m_tabs);
            m_tabs->setCurrentIndex(page);
            m_pages->setCurrentIndex(page);
        }
    }
    return false;
}

bool BatchWindow::fieldAccepted(QLineEdit *field)
{
    if (field == m_dstInput)
        return CheckForbiddenCharacters(field->text(), true, m_context.prompts, message(70));
    if (field == m_saveasInput)
        return CheckForbiddenCharacters(field->text(), false, m_context.prompts, message(71));
    const QSize screenPixels = screen()->size();
    const ScreenTwips screenTwips{pixelsToTwips(screenPixels.width(), logicalDpiX()),
                                  pixelsToTwips(screenPixels.height(), logicalDpiY())};
    if (!ValidateAdjustmentField(field->objectName(), field->text(), screenTwips, m_context.prompts))
        return false;
    schedulePreview();
    return true;
}

void BatchWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const int top = twipsToPixels(kMargin, this);
    const int height = std::max(0, this->height() - 2 * top);
    const std::array<QWidget *, 3> columns{m_left, m_middle, m_right};
    for (int i = 0; i < 3; ++i)
        columns[i]->setGeometry(twipsToPixels(kColumns[i].first, this), top, twipsToPixels(kColumns[i].second, this),
                                height);
}

void BatchWindow::chooseMode(BatchMode mode)
{
    m_options[int(mode)]->setChecked(true);
    const bool album = mode != BatchMode::ScaleOnly;
    for (QWidget *frame : std::as_const(m_tabFrames))
        frame->setEnabled(album);
    // Only this mode writes slides.
    m_slidesChoice->setEnabled(mode == BatchMode::ScaleAndAlbum);
    m_slideSide->setEnabled(mode == BatchMode::ScaleAndAlbum && m_fittedSlides->isChecked());
    showPublishing();
    // The sizes count the title bar and the border.
    const QSize frame = frameGeometry().size() - size();
    const QSizeF twips = batchWindowTwips(mode, pixelsToTwips(m_context.mainWindowWidth, logicalDpiX()));
    resize(twipsToPixels(twips.width(), this) - frame.width(),
           std::max(twipsToPixels(twips.height(), this) - frame.height(), contentHeight()));
    if (album) {
        m_browser->reload();
        schedulePreview();
    }
}

void BatchWindow::browseForFolder()
{
    const QString folder = m_context.prompts.chooseFolder(message(41), m_dstInput->text());
    if (!folder.isEmpty())
        m_dstInput->setText(folder);
}

void BatchWindow::setRunControlsEnabled(bool enabled)
{
    for (QWidget *control : std::initializer_list<QWidget *>{m_generateButton, m_dstButton, m_dstInput, m_saveasInput,
                                                             m_fastReduction, m_convertToSrgb, m_removePrivateData})
        control->setEnabled(enabled);
    m_slidesChoice->setEnabled(enabled && mode() == BatchMode::ScaleAndAlbum);
}

void BatchWindow::showRunProgress(int done, int total)
{
    m_progressBar->setMaximum(std::max(total, 1));
    m_progressBar->setValue(done);
    const RunProgress progress{done, total, m_runClock.elapsed()};
    m_progressLabel->setText(m_runTitle + u'\n' + progress.timeText());
}

void BatchWindow::projectRunOutput(int done)
{
    // An album that only refers to the images writes none of them.
    if (mode() == BatchMode::AlbumOnly)
        return;
    projectOutput(m_estimate, done, m_runOutputBytes);
    m_estimateLabel->setText(m_estimate.text());
}

void BatchWindow::requestStop()
{
    m_stopRequested = true;
    m_stopButton->setEnabled(false);
}

void BatchWindow::generate()
{
    // Alt+G leaves no field: every field the run reads is checked first.
    if (m_running || !m_focusRules->checkFields())
        return;
    m_running = true;
    m_stopRequested = false;
    m_cancelButton->setEnabled(false);
    m_stopButton->setEnabled(true);
    m_runTitle.clear();
    m_runClock.start();
    // Files keep whole seconds on some file systems.
    m_runOutputBytes = 0;
    showRunProgress(0, imageCount(m_context.items));
    m_progressPanel->show();

    // The time shown goes on while the run waits for an image.
    QTimer clock;
    clock.callOnTimeout(this, [this] { showRunProgress(m_progressBar->value(), m_progressBar->maximum()); });
    clock.start(1000);

    BatchJob job(m_context.programFolder, m_context.records, m_context.prompts);
    job.setWorkerCount(m_context.workers > 0 ? m_context.workers : QThread::idealThreadCount());
    RunObserver observer(*this);
    job.run(batchRequest(values(), mode(), m_context.items, m_context.adjustments), m_overwriteChoice, observer);

    m_progressPanel->hide();
    m_cancelButton->setEnabled(true);
    m_running = false;
}

void BatchWindow::surveyPhotos()
{
    connect(&m_survey, &QFutureWatcherBase::finished, this, &BatchWindow::showPublishing);
    m_survey.setFuture(QtConcurrent::run([items = m_context.items](QPromise<QList<SurveyedPhoto>> &promise) {
        promise.addResult(tovin::surveyPhotos(items, [&promise] { return promise.isCanceled(); }));
    }));
    m_locationLabel->setText(QStringLiteral("Looking for GPS positions\u2026"));
}

// The location line and the projection follow the choices, once the
// photos' headers are read; a run's own projection takes over meanwhile.
void BatchWindow::showPublishing()
{
    if (m_running || !m_survey.isFinished() || m_survey.isCanceled() || m_survey.future().resultCount() == 0)
        return;
    const QList<SurveyedPhoto> photos = m_survey.result();
    m_locationLabel->setText(locationText(photos, m_removePrivateData->isChecked()));
    projectFromPhotos(m_estimate, photos, batchRequest(values(), mode(), {}, m_context.adjustments));
    m_estimateLabel->setText(m_estimate.text());
}

bool BatchWindow::slideSideAccepted()
{
    if (parseSlideSide(m_slideSide->text()))
        return true;
    m_context.prompts.showMessage(slideSideRangeText(), message(111), PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
}

void BatchWindow::schedulePreview()
{
    if (!m_previewUnavailable && mode() != BatchMode::ScaleOnly)
        m_previewTimer->start();
}

void BatchWindow::showAlbumPreview()
{
    m_previewTimer->stop();
    const AlbumPreview preview(m_context.programFolder,
                               QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
    QStringList pictures;
    for (const BatchItem &item : std::as_const(m_context.items)) {
        if (item.selected && item.kind == ListEntryKind::Image)
            pictures.append(item.key);
    }
    const AlbumPreview::Result result = preview.write(values().layout, pictures);
    switch (result.status) {
    case AlbumPreview::Status::TemplatesMissing:
        m_previewUnavailable = true;
        m_browser->hide();
        m_context.prompts.showMessage(QStringLiteral("Files needed for loading the preview are not found"),
                                      QStringLiteral("Info"), PromptIcon::None, PromptButtons::Ok);
        break;
    case AlbumPreview::Status::Failed:
        m_toolTipLabel->setText(result.failure);
        break;
    case AlbumPreview::Status::Written:
        m_browser->setUrl(QUrl(result.pageUrl));
        break;
    }
}

void BatchWindow::done(int result)
{
    if (m_running)
        return;
    saveBatchSettings(m_context.settings, values());
    QDialog::done(result);
}

} // namespace tovin
