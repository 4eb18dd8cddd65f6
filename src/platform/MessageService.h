#pragma once

#include <QList>
#include <QString>

// Every message box of the program goes through here, so that tests can see and answer
// them without a screen.
// YesNoDefaultNo: Yes and No with No as the default, for questions whose Yes loses work.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
enum class MessageIcon { None, Critical, Question, Warning, Information };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                               MessageIcon icon) = 0;
};

// The program's name, the title of boxes that name no title of their own.
QString applicationTitle();

// Shows a box through the installed service. An empty title means the application title.
MessageAnswer showMessage(const QString& text, MessageButtons buttons = MessageButtons::Ok,
                          const QString& title = QString(), MessageIcon icon = MessageIcon::None);

// Installs a service (not owned); returns the previous one. Without one, every box is
// answered with its default button (the first, unless the buttons name another).
MessageService* setMessageService(MessageService* service);

// Answers boxes from a script and keeps every box shown.
class MessageRecorder : public MessageService {
public:
    struct Shown {
        QString text;
        QString title;
        MessageButtons buttons;
        MessageIcon icon;
    };

    MessageRecorder();
    ~MessageRecorder() override;

    // Answers to give, in order; once used up, each box gets its default button.
    void script(QList<MessageAnswer> answers) { m_answers = std::move(answers); }
    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override;

private:
    QList<MessageAnswer> m_answers;
    QList<Shown> m_shown;
    MessageService* m_previous;
};
