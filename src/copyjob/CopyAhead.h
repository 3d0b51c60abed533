#pragma once
// Copies made ahead of the copy loop on worker threads. The loop hands over
// files that follow the one it is at and takes each staged copy back at its
// turn, committing it itself, so the log, the progress, the questions and
// the end code come exactly as from a loop copying alone, and nothing takes
// a destination's place out of order. Copies still held when the loop stops
// (a failure, a cancel) vanish with this object.

#include "platform/FileCopy.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CCopyAhead {
public:
    // Files larger than this are left to the loop: only it can keep the
    // window alive and hear a cancel during a long copy. A file that grows
    // past it meanwhile is handed back (ERROR_OPERATION_ABORTED from Take).
    static constexpr uint64_t kMaxBytes = uint64_t{4} << 20;

    explicit CCopyAhead(int threads); // at least one worker
    ~CCopyAhead();
    CCopyAhead(const CCopyAhead&) = delete;
    CCopyAhead& operator=(const CCopyAhead&) = delete;

    // Stages the copy of the file name from one of the folders to the
    // other as copy number.
    void Add(size_t number, std::shared_ptr<const CCopyFolders> folders, std::string name);
    // True when copy number was added and not taken yet.
    bool Has(size_t number) const;
    // Waits for copy number; returns its Stage result and hands the staged
    // copy over.
    int Take(size_t number, CStagedCopy& copy);
    // The number of threads a run uses when not told: the machine's cores,
    // at most four.
    static int DefaultThreads();
    // For tests only: Take waits until every copy handed over is staged, so
    // each commit comes after the stages of the copies behind it.
    static void SetStageAllFirst(bool on) { s_bStageAllFirst = on; }

private:
    struct CJob {
        std::shared_ptr<const CCopyFolders> folders;
        std::string name;
        bool bDone = false;
        int nResult = 0;
        CStagedCopy copy;
    };
    void Work();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake; // a job or the end, for the workers
    std::condition_variable m_done; // a finished job, for the loop
    std::map<size_t, std::unique_ptr<CJob>> m_jobs;
    std::deque<CJob*> m_queue; // not started yet, in order
    int m_nStaging = 0;        // jobs the workers are at
    bool m_bStop = false;
    static inline bool s_bStageAllFirst = false;
    std::vector<std::thread> m_threads;
};
