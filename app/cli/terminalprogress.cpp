#include "terminalprogress.h"

#include <QString>

#include <unistd.h>

namespace tovin {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void noteInterrupt(int)
{
    g_interrupted = 1;
    // A second Ctrl+C ends the program at once.
    std::signal(SIGINT, SIG_DFL);
}

constexpr int kBarWidth = 30;

} // namespace

TerminalProgress::TerminalProgress(std::FILE *output)
    : m_output(output)
    , m_isTerminal(::isatty(fileno(output)))
{
    g_interrupted = 0;
    m_previousHandler = std::signal(SIGINT, noteInterrupt);
}

TerminalProgress::~TerminalProgress()
{
    std::signal(SIGINT, m_previousHandler);
    clearBar();
}

void TerminalProgress::setTitle(const QString &title)
{
    clearBar();
    std::fprintf(m_output, "%s\n", title.toLocal8Bit().constData());
    drawBar();
}

void TerminalProgress::imagesDone(int done, int total)
{
    m_done = done;
    m_total = total;
    clearBar();
    drawBar();
}

bool TerminalProgress::stopRequested()
{
    return g_interrupted != 0;
}

void TerminalProgress::imagesSkipped(const QList<SkippedImage> &images)
{
    clearBar();
    std::fprintf(m_output, "%s\n", skippedImagesText(images).toLocal8Bit().constData());
    std::fflush(m_output);
}

void TerminalProgress::clearBar()
{
    if (m_isTerminal && m_total > 0)
        std::fputs("\r\033[K", m_output);
    std::fflush(m_output);
}

void TerminalProgress::drawBar()
{
    if (!m_isTerminal || m_total <= 0)
        return;
    const int filled = m_done * kBarWidth / m_total;
    std::fprintf(m_output, "[%s%s] %d/%d", QByteArray(filled, '#').constData(),
                 QByteArray(kBarWidth - filled, '.').constData(), m_done, m_total);
    std::fflush(m_output);
}

} // namespace tovin
