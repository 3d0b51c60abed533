#pragma once
// Message boxes for tests: answered from a queue, recorded; a surprise or unused answer fails.

#include "platform/ConsoleMessageBox.h"
#include "platform/HostServices.h"
#include "platform/MessageBoxService.h"

#include <QTest>

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

    // With failTest false, surprises and unused answers do not fail the test.
    explicit CScriptedMessageBox(bool failTest = true) : m_bFailTest(failTest) {}

    // Queues the answer to the next box containing textPart (Expect) or exactly text.
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

    // A surprise is answered as the console would (Cancel, No, Abort, OK): the code stops.
    int Show(const std::string& text, const std::string& caption, unsigned style) override {
        CShown shown{text, caption, style, CConsoleMessageBoxService::SafeAnswer(style)};
        if (m_aQueue.empty()) {
            Fail("unexpected message box " + Describe(text, style));
        } else {
            const CExpected& next = m_aQueue.front();
            const bool textMatches =
                next.bExact ? text == next.strText : text.find(next.strText) != std::string::npos;
            if (textMatches && (next.nStyle == kAnyStyle || next.nStyle == style)) {
                shown.nAnswer = next.nAnswer;
                m_aQueue.pop_front();
            } else {
                Fail("message box " + Describe(text, style) + " where " +
                     Describe(next.strText, next.nStyle) + " was expected");
            }
        }
        m_aShown.push_back(shown);
        return shown.nAnswer;
    }
    void Beep(unsigned style) override { m_aBeeps.push_back(style); }

    bool VerifyAllUsed() { // false, and a failure, when queued answers are left
        std::string unused;
        for (const CExpected& expected : m_aQueue)
            unused += " " + Describe(expected.strText, expected.nStyle);
        if (!m_aQueue.empty())
            Fail(std::to_string(m_aQueue.size()) +
                 " queued message-box answer(s) unused:" + unused);
        return m_aQueue.empty();
    }

    const std::vector<CShown>& Shown() const { return m_aShown; }
    const std::vector<unsigned>& Beeps() const { return m_aBeeps; }

private:
    struct CExpected {
        std::string strText;
        bool bExact;
        unsigned nStyle;
        int nAnswer;
    };
    static std::string Describe(const std::string& text, unsigned style) {
        return "\"" + text + "\" (style 0x" + QByteArray::number(style, 16).toStdString() + ")";
    }
    void Fail(const std::string& message) {
        if (m_bFailTest)
            QTest::qFail(message.c_str(), __FILE__, __LINE__);
    }

    bool m_bFailTest;
    std::deque<CExpected> m_aQueue;
    std::vector<CShown> m_aShown;
    std::vector<unsigned> m_aBeeps;
};

// Installs a message-box service for the life of the object.
class CScopedMessageBoxService {
public:
    explicit CScopedMessageBoxService(std::shared_ptr<IMessageBoxService> service) {
        CHostServices::Get().SetMessageBoxService(std::move(service));
    }
    ~CScopedMessageBoxService() { CHostServices::Get().SetMessageBoxService(m_pPrevious); }
    CScopedMessageBoxService(const CScopedMessageBoxService&) = delete;
    CScopedMessageBoxService& operator=(const CScopedMessageBoxService&) = delete;

private:
    std::shared_ptr<IMessageBoxService> m_pPrevious = CHostServices::Get().MessageBoxService();
};
