#include "copyjob/CopyAhead.h"

#include "platform/ErrorCodes.h"

#include <algorithm>

CCopyAhead::CCopyAhead(int threads) {
    for (int i = 0; i < std::max(threads, 1); ++i)
        m_threads.emplace_back([this] { Work(); });
}

CCopyAhead::~CCopyAhead() {
    {
        std::lock_guard lock(m_mutex);
        m_bStop = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

int CCopyAhead::DefaultThreads() {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

void CCopyAhead::Add(size_t number, std::shared_ptr<const CCopyFolders> folders, std::string name) {
    auto job = std::make_unique<CJob>();
    job->folders = std::move(folders);
    job->name = std::move(name);
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(job.get());
        m_jobs[number] = std::move(job);
    }
    m_wake.notify_one();
}

bool CCopyAhead::Has(size_t number) const {
    std::lock_guard lock(m_mutex);
    return m_jobs.count(number) != 0;
}

int CCopyAhead::Take(size_t number, CStagedCopy& copy) {
    std::unique_lock lock(m_mutex);
    const auto found = m_jobs.find(number);
    if (found == m_jobs.end())
        return ERROR_INVALID_FUNCTION;
    CJob& job = *found->second;
    m_done.wait(lock, [&] {
        return job.bDone && (!s_bStageAllFirst || (m_queue.empty() && m_nStaging == 0));
    });
    copy = std::move(job.copy);
    const int result = job.nResult;
    m_jobs.erase(found);
    return result;
}

void CCopyAhead::Work() {
    for (;;) {
        CJob* job = nullptr;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_bStop || !m_queue.empty(); });
            if (m_bStop)
                return;
            job = m_queue.front();
            m_queue.pop_front();
            ++m_nStaging;
        }
        // No chunk callback here: a file past one chunk goes back to the loop.
        CStagedCopy copy;
        const int result = copy.Stage(job->folders, job->name, [] { return false; });
        {
            std::lock_guard lock(m_mutex);
            job->copy = std::move(copy);
            job->nResult = result;
            job->bDone = true;
            --m_nStaging;
        }
        m_done.notify_all();
    }
}
