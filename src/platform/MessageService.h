#pragma once

#include <QList>
#include <QString>

// Every message box of the program goes through here, so that tests can see and answer
// them without a screen.
// YesNoDefaultNo: Yes and No with No as the default, for questions whose Yes loses work.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MsgAnswer show(const QString& text, const QString& title, MsgButtons buttons,
                           MsgIcon icon) = 0;
};

// The program's name, the title of boxes that name no title of their own.
QString applicationTitle();

// Shows a box through the installed service. An empty title means the application title.
MsgAnswer MsgBox(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                 const QString& title = QString(), MsgIcon icon = MsgIcon::None);

// Installs a service (not owned); returns the previous one. Without one, every box is
// answered with its default button (the first, unless the buttons name another).
MessageService* setMessageService(MessageService* service);

// Answers boxes from a script and keeps every box shown.
class MessageRecorder : public MessageService {
public:
    struct Shown {
        QString text;
        QString title;
        MsgButtons buttons;
        MsgIcon icon;
    };

    MessageRecorder();
    ~MessageRecorder() override;

    // Answers to give, in order; once used up, each box gets its default button.
    void script(QList<MsgAnswer> answers) { m_answers = std::move(answers); }
    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

    MsgAnswer show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override;

private:
    QList<MsgAnswer> m_answers;
    QList<Shown> m_shown;
    MessageService* m_previous;
};
