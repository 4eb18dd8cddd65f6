#include "MessageService.h"

namespace {

MessageService* g_service = nullptr;

MsgAnswer defaultButton(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Yes;
    case MsgButtons::YesNoDefaultNo:
        return MsgAnswer::No;
    }
    return MsgAnswer::Ok;
}

} // namespace

QString applicationTitle() { return QStringLiteral("Pelko"); }

MsgAnswer MsgBox(const QString& text, MsgButtons buttons, const QString& title, MsgIcon icon)
{
    const QString shownTitle = title.isEmpty() ? applicationTitle() : title;
    if (!g_service)
        return defaultButton(buttons);
    return g_service->show(text, shownTitle, buttons, icon);
}

MessageService* setMessageService(MessageService* service)
{
    MessageService* previous = g_service;
    g_service = service;
    return previous;
}

MessageRecorder::MessageRecorder() : m_previous(setMessageService(this)) {}

MessageRecorder::~MessageRecorder() { setMessageService(m_previous); }

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const Shown& s : m_shown)
        out << s.text;
    return out;
}

MsgAnswer MessageRecorder::show(const QString& text, const QString& title, MsgButtons buttons,
                                MsgIcon icon)
{
    m_shown.append({text, title, buttons, icon});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return defaultButton(buttons);
}
