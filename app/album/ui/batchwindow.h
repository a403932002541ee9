#pragma once

#include "batchestimate.h"
#include "batchjob.h"
#include "batchsettings.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QMap>
#include <QPointer>

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedLayout;
class QTabBar;
class QTimer;
class QToolButton;
class QWebEngineView;

namespace tovin {

class FieldFocusRules;
class RecordStore;
class SettingsStore;

// What the main window hands the batch window when it opens it.
struct BatchWindowContext {
    QString programFolder;
    RecordStore &records;
    SettingsStore &settings;
    UserPrompts &prompts;
    // The main window's image list and adjustment fields as they are now.
    QList<BatchItem> items;
    MainAdjustments adjustments;
    int mainWindowWidth = 0; // pixels
    // Image workers of a run; 0 takes one per processor.
    int workers = 0;
};

// frmBatch: where the files of a batch run go, how they are named, which of
// the three modes runs, and the album's layout, with a preview of the album.
// It runs the batch job itself and stays responsive meanwhile: a progress bar
// and a Stop button (Escape) show during a run, and the window cannot be
// closed or the run started twice; the run disables its destination, name
// and Generate controls until it ends. It makes the dialog frmDialog, which
// the run's questions and messages use and which goes with it.
class BatchWindow final : public QDialog
{
    Q_OBJECT

public:
    BatchWindow(BatchWindowContext context, QWidget *parent = nullptr);
    ~BatchWindow() override;

    BatchMode mode() const;
    // The fields and swatches as they stand.
    BatchSettings values() const;
    bool isRunning() const { return m_running; }

    // Every way of closing ends here: refused during a run, and otherwise the
    // fields are stored.
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class RunObserver;

    QWidget *buildLeftColumn();
    QWidget *buildMiddleColumn();
    QWidget *buildRightColumn();
    QWidget *buildPage(int index);
    QWidget *buildSlidesChoice();
    int contentHeight() const;
    QLineEdit *layoutField(const char *name);
    QWidget *swatch(const char *name);

    void fill(const BatchSettings &values);
    void setSwatchColor(const QString &name, std::int32_t color);
    void chooseSwatchColor(const QString &name);
    bool fieldAccepted(QLineEdit *field);
    bool layoutFieldAccepted(QLineEdit *field);
    void chooseMode(BatchMode mode);
    void browseForFolder();
    void generate();
    void requestStop();
    void showAlbumPreview();
    void schedulePreview();
    void setRunControlsEnabled(bool enabled);
    void showRunProgress(int done, int total);
    void projectRunOutput(int done);
    void surveyPhotos();
    void showPublishing();
    bool slideSideAccepted();

    BatchWindowContext m_context;
    // "Dont show this message again." of the overwrite question lasts as long
    // as this window.
    OverwriteChoice m_overwriteChoice;
    QMap<QString, std::int32_t> m_colors;
    // The colour chooser opens on the colour last chosen here.
    std::int32_t m_lastChosenColor = 0;
    bool m_running = false;
    bool m_stopRequested = false;
    // Once the preview files proved missing, the browser stays hidden.
    bool m_previewUnavailable = false;
    QElapsedTimer m_runClock;
    qint64 m_runOutputBytes = 0; // what the run has put in place so far
    BatchEstimate m_estimate;
    QString m_runTitle;
    // The selected photos' headers, read once the window is open.
    QFutureWatcher<QList<SurveyedPhoto>> m_survey;

    QWidget *m_left = nullptr;
    QWidget *m_middle = nullptr;
    QWidget *m_right = nullptr;
    QLineEdit *m_dstInput = nullptr;
    QLineEdit *m_saveasInput = nullptr;
    QToolButton *m_dstButton = nullptr;
    QRadioButton *m_options[3] = {};
    QCheckBox *m_fastReduction = nullptr;
    QCheckBox *m_convertToSrgb = nullptr;
    QCheckBox *m_removePrivateData = nullptr;
    QLabel *m_locationLabel = nullptr;
    QPushButton *m_generateButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QLabel *m_estimateLabel = nullptr;
    QWidget *m_progressPanel = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_progressLabel = nullptr;
    QPushButton *m_stopButton = nullptr;
    QTabBar *m_tabs = nullptr;
    QStackedLayout *m_pages = nullptr;
    QList<QWidget *> m_tabFrames;
    QGroupBox *m_slidesChoice = nullptr;
    QRadioButton *m_originalSlides = nullptr;
    QRadioButton *m_fittedSlides = nullptr;
    QLineEdit *m_slideSide = nullptr;
    QLabel *m_slideSideEcho = nullptr;
    QMap<QString, QLineEdit *> m_fields;
    QMap<QString, QLabel *> m_swatches;
    QMap<QString, QLabel *> m_swatchTexts;
    QPushButton *m_updatePreview = nullptr;
    QWebEngineView *m_browser = nullptr;
    QLabel *m_toolTipLabel = nullptr;
    QTimer *m_previewTimer = nullptr;
    FieldFocusRules *m_focusRules = nullptr;
};

} // namespace tovin
