#include "support/ScriptedMessageBox.h"

#include "platform/ConsoleMessageBox.h"
#include "platform/HostServices.h"

#include <QTest>

namespace {

std::string Describe(const std::string& text, unsigned style) {
    return "\"" + text + "\" (style 0x" + QByteArray::number(style, 16).toStdString() + ")";
}

} // namespace

CScriptedMessageBox& CScriptedMessageBox::Expect(const std::string& textPart, int answer,
                                                 unsigned style) {
    m_aQueue.push_back({textPart, false, style, answer});
    return *this;
}

CScriptedMessageBox& CScriptedMessageBox::ExpectExact(const std::string& text, int answer,
                                                      unsigned style) {
    m_aQueue.push_back({text, true, style, answer});
    return *this;
}

int CScriptedMessageBox::Show(const std::string& text, const std::string& caption, unsigned style) {
    CShown shown{text, caption, style, 0, false};
    if (m_aQueue.empty()) {
        shown.bSurprise = true;
        Fail("unexpected message box " + Describe(text, style));
    } else {
        const CExpected& next = m_aQueue.front();
        bool textMatches =
            next.bExact ? text == next.strText : text.find(next.strText) != std::string::npos;
        bool styleMatches = next.nStyle == kAnyStyle || next.nStyle == style;
        if (textMatches && styleMatches) {
            shown.nAnswer = next.nAnswer;
            m_aQueue.pop_front();
        } else {
            shown.bSurprise = true;
            Fail("message box " + Describe(text, style) + " where " +
                 Describe(next.strText, next.nStyle) + " was expected");
        }
    }
    if (shown.bSurprise)
        shown.nAnswer = CConsoleMessageBoxService::SafeAnswer(style);
    m_aShown.push_back(shown);
    return shown.nAnswer;
}

bool CScriptedMessageBox::VerifyAllUsed() {
    if (m_aQueue.empty())
        return true;
    std::string unused;
    for (const CExpected& expected : m_aQueue)
        unused += " " + Describe(expected.strText, expected.nStyle);
    Fail(std::to_string(m_aQueue.size()) + " queued message-box answer(s) unused:" + unused);
    return false;
}

void CScriptedMessageBox::Fail(const std::string& message) {
    m_aFailures.push_back(message);
    if (m_bFailTest)
        QTest::qFail(message.c_str(), __FILE__, __LINE__);
}

CScopedMessageBoxService::CScopedMessageBoxService(std::shared_ptr<IMessageBoxService> service)
    : m_pPrevious(CHostServices::Get().MessageBoxService()) {
    CHostServices::Get().SetMessageBoxService(std::move(service));
}

CScopedMessageBoxService::~CScopedMessageBoxService() {
    CHostServices::Get().SetMessageBoxService(m_pPrevious);
}
