#pragma once
// A message-box service for tests: answers boxes from a queue the test fills
// beforehand, records every box and warning sound, and fails the test when a
// box comes that nobody expected (nothing queued, or the next entry does not
// match) or when queued answers are left unused.

#include "platform/MessageBoxService.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

class CScriptedMessageBox : public IMessageBoxService {
public:
    static constexpr unsigned kAnyStyle = ~0u;

    struct CShown {
        std::string strText;
        std::string strCaption; // as passed: empty means the application's title
        unsigned nStyle = 0;
        int nAnswer = 0;
    };

    // With failTest false, surprises and unused answers are only recorded
    // (Failures()), for tests of this responder itself.
    explicit CScriptedMessageBox(bool failTest = true) : m_bFailTest(failTest) {}

    // Queues the answer to the next box whose text contains textPart (Expect)
    // or is exactly text (ExpectExact).
    CScriptedMessageBox& Expect(const std::string& textPart, int answer,
                                unsigned style = kAnyStyle) {
        m_aQueue.push_back({textPart, false, style, answer});
        return *this;
    }
    CScriptedMessageBox& ExpectExact(const std::string& text, int answer,
                                     unsigned style = kAnyStyle) {
        m_aQueue.push_back({text, true, style, answer});
        return *this;
    }

    // Answers from the front of the queue. A surprise box fails the test and
    // is answered as the console would (Cancel, No, Abort or OK), so the code
    // under test stops rather than goes on.
    int Show(const std::string& text, const std::string& caption, unsigned style) override;
    void Beep(unsigned style) override { m_aBeeps.push_back(style); }

    // Fails the test (and returns false) when queued answers are left.
    bool VerifyAllUsed();

    const std::vector<CShown>& Shown() const { return m_aShown; }
    const std::vector<unsigned>& Beeps() const { return m_aBeeps; }
    const std::vector<std::string>& Failures() const { return m_aFailures; }

private:
    struct CExpected {
        std::string strText;
        bool bExact;
        unsigned nStyle;
        int nAnswer;
    };
    void Fail(const std::string& message);

    bool m_bFailTest;
    std::deque<CExpected> m_aQueue;
    std::vector<CShown> m_aShown;
    std::vector<unsigned> m_aBeeps;
    std::vector<std::string> m_aFailures;
};

// Puts a message-box service into the host services for the life of the
// object and puts the previous one back afterwards.
class CScopedMessageBoxService {
public:
    explicit CScopedMessageBoxService(std::shared_ptr<IMessageBoxService> service);
    ~CScopedMessageBoxService();
    CScopedMessageBoxService(const CScopedMessageBoxService&) = delete;
    CScopedMessageBoxService& operator=(const CScopedMessageBoxService&) = delete;

private:
    std::shared_ptr<IMessageBoxService> m_pPrevious;
};
