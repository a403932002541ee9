#include "idleworkers.h"

#include <algorithm>

namespace tovin {

IdleWorkers::IdleWorkers(int workers)
    : m_workers(workers)
{
}

void IdleWorkers::imageStarted()
{
    const std::lock_guard lock(m_mutex);
    ++m_busy;
}

void IdleWorkers::imageFinished()
{
    const std::lock_guard lock(m_mutex);
    --m_busy;
}

IdleWorkers::Loan::Loan(IdleWorkers *lender)
    : m_lender(lender)
{
    if (!m_lender)
        return;
    const std::lock_guard lock(m_lender->m_mutex);
    m_workers = std::max(0, m_lender->m_workers - m_lender->m_busy - m_lender->m_lent);
    m_lender->m_lent += m_workers;
}

IdleWorkers::Loan::~Loan()
{
    if (!m_lender)
        return;
    const std::lock_guard lock(m_lender->m_mutex);
    m_lender->m_lent -= m_workers;
}

} // namespace tovin
