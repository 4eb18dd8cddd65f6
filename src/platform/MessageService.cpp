#include "MessageService.h"

namespace {

MessageService* installedService = nullptr;

MessageAnswer defaultButton(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Yes;
    case MessageButtons::YesNoDefaultNo:
        return MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

} // namespace

QString applicationTitle() { return QStringLiteral("Pelko"); }

MessageAnswer showMessage(const QString& text, MessageButtons buttons, const QString& title,
                          MessageIcon icon)
{
    const QString shownTitle = title.isEmpty() ? applicationTitle() : title;
    if (!installedService)
        return defaultButton(buttons);
    return installedService->show(text, shownTitle, buttons, icon);
}

MessageService* setMessageService(MessageService* service)
{
    MessageService* previous = installedService;
    installedService = service;
    return previous;
}

MessageRecorder::MessageRecorder() : m_previous(setMessageService(this)) {}

MessageRecorder::~MessageRecorder() { setMessageService(m_previous); }

QStringList MessageRecorder::texts() const
{
    QStringList texts;
    for (const Shown& box : m_shown)
        texts << box.text;
    return texts;
}

MessageAnswer MessageRecorder::show(const QString& text, const QString& title,
                                    MessageButtons buttons, MessageIcon icon)
{
    m_shown.append({text, title, buttons, icon});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return defaultButton(buttons);
}
