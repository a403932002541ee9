#pragma once

#include "batchjob.h"

#include <csignal>
#include <cstdio>

namespace tovin {

// Shows a batch run on a terminal: one line per image, the run's end and the
// images it passed over on standard error, with a progress bar when that is a
// terminal. Ctrl+C stops
// the run the way Cancel does: images already started are finished.
class TerminalProgress final : public BatchObserver
{
public:
    explicit TerminalProgress(std::FILE *output = stderr);
    ~TerminalProgress() override;

    void setTitle(const QString &title) override;
    void imagesDone(int done, int total) override;
    bool stopRequested() override;
    void imagesSkipped(const QList<SkippedImage> &images) override;

private:
    void clearBar();
    void drawBar();

    std::FILE *m_output;
    bool m_isTerminal;
    int m_done = 0;
    int m_total = 0;
    void (*m_previousHandler)(int) = SIG_DFL;
};

} // namespace tovin
