#include "support/ScriptedMessageBox.h"

#include "platform/ConsoleMessageBox.h"
#include "platform/HostServices.h"

#include <QTest>

namespace {
std::string Describe(const std::string& text, unsigned style) {
    return "\"" + text + "\" (style 0x" + QByteArray::number(style, 16).toStdString() + ")";
}
} // namespace

int CScriptedMessageBox::Show(const std::string& text, const std::string& caption, unsigned style) {
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

bool CScriptedMessageBox::VerifyAllUsed() {
    std::string unused;
    for (const CExpected& expected : m_aQueue)
        unused += " " + Describe(expected.strText, expected.nStyle);
    if (!m_aQueue.empty())
        Fail(std::to_string(m_aQueue.size()) + " queued message-box answer(s) unused:" + unused);
    return m_aQueue.empty();
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
