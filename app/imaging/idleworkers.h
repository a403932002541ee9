#pragma once

#include <mutex>

namespace tovin {

// The workers of a batch run that have no image, lent to the resampling of
// the images still in flight. Near the end of a run fewer images are left
// than workers; an image that starts resampling then shares its rows with
// the idle workers' cores. The pixels are the same however many threads
// share them. A lent worker that is given an image meanwhile starts on it at
// once; the two share its core until the loan ends.
class IdleWorkers
{
public:
    explicit IdleWorkers(int workers);

    void imageStarted();
    void imageFinished();

    // The idle workers no other resampling has borrowed, each one more
    // thread for the caller's, until the loan goes.
    class Loan
    {
    public:
        explicit Loan(IdleWorkers *lender);
        ~Loan();
        Loan(const Loan &) = delete;
        Loan &operator=(const Loan &) = delete;
        int workers() const { return m_workers; }

    private:
        IdleWorkers *m_lender;
        int m_workers = 0;
    };

private:
    std::mutex m_mutex;
    const int m_workers;
    int m_busy = 0;
    int m_lent = 0;
};

} // namespace tovin
