#pragma once
// The continuous run: the settings files of one continuous execution set run
// one after another through the same CCopyJob, under one opening of the log
// and one header, stopping at the first step that does not end with 0. The
// front end (the main window, the command line, a test) supplies what only
// it can do through IRenzokuSteps; everything the user sees of the runs
// goes through the job's IRunHost.

#include <functional>
#include <string>
#include <vector>

class CCopyJob;

class IRenzokuSteps {
public:
    virtual ~IRenzokuSteps() = default;

    // Asked once, before the order is shown, so that every step loads its
    // setting without a question: false when the user cancels.
    virtual bool SaveChangesFirst() { return true; }
    // Shows the order of the set (names with ".def"); true to start.
    virtual bool ConfirmRenzoku(const std::vector<std::string>& aSet) = 0;
    // Makes the settings file (name with ".def", letter case ignored) the
    // job's current setting as if the user had chosen it. Its position among
    // the front end's settings, or -1 when it has none of that name.
    virtual int SelectSettingByName(const std::string& name) = 0;
    // Before the log is opened (the job running) and after it was closed
    // (the job idle again).
    virtual void BeginRenzoku() {}
    virtual void EndRenzoku() {}
    // After a step's end line went to the log.
    virtual void StepEnded(const std::string& /*name*/, int /*endCode*/) {}
    // After the line of a step that could not run went to the log.
    virtual void StepSkipped(const std::string& /*logLine*/) {}
};

// The steps of a run without a window (the command line, tests): each
// settings file of the list is loaded straight into the job.
class CSettingFileSteps : public IRenzokuSteps {
public:
    // aDefFiles: the settings files of the program folder, with ".def".
    CSettingFileSteps(CCopyJob& job, std::vector<std::string> aDefFiles)
        : m_job(job), m_aDefFiles(std::move(aDefFiles)) {}

    // onConfirm decides (true without one); onStepEnded is told each end.
    bool ConfirmRenzoku(const std::vector<std::string>& aSet) override {
        return !onConfirm || onConfirm(aSet);
    }
    int SelectSettingByName(const std::string& name) override;
    void StepEnded(const std::string& name, int endCode) override {
        if (onStepEnded)
            onStepEnded(name, endCode);
    }
    void StepSkipped(const std::string& logLine) override {
        if (onStepSkipped)
            onStepSkipped(logLine);
    }

    std::function<bool(const std::vector<std::string>&)> onConfirm;
    std::function<void(const std::string&, int)> onStepEnded;
    std::function<void(const std::string&)> onStepSkipped;

private:
    CCopyJob& m_job;
    std::vector<std::string> m_aDefFiles;
};

struct CRenzokuOutcome {
    bool bStarted = false; // the order was accepted: the log was opened
    int nEndCode = 0;      // of the last step run; 9999 when the wait for the log was cancelled
    int nStepsRun = 0;
    int nStepsSkipped = 0; // entries whose settings file was gone at their turn
};

// Runs set nIndex of the profile with the job in continuous mode: the
// empty-set warning, the save question and the order, then the steps, the
// final message. The job must not be running.
CRenzokuOutcome RunRenzokuSet(CCopyJob& job, int nIndex, IRenzokuSteps& steps);
