#include "platform/QtMessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

// Real message boxes on screen: each button set, answered by every way a user can.
namespace
{

enum class Action { Press, Enter, Escape, CloseFrame };

struct Seen {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QList<QMessageBox::StandardButton> buttons;
};

// Acts on the box once it is up, from inside its own event loop.
void actOnBox(Action action, QMessageBox::StandardButton press, Seen* seen)
{
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            actOnBox(action, press, seen); // not shown yet
            return;
        }
        seen->text = box->text();
        seen->title = box->windowTitle();
        seen->icon = box->icon();
        seen->format = box->textFormat();
        for (QAbstractButton* b : box->buttons())
            seen->buttons << box->standardButton(b);
        switch (action) {
        case Action::Press:
            QTest::mouseClick(box->button(press), Qt::LeftButton);
            break;
        case Action::Enter:
            QTest::keyClick(box, Qt::Key_Return);
            break;
        case Action::Escape:
            QTest::keyClick(box, Qt::Key_Escape);
            break;
        case Action::CloseFrame:
            box->close();
            break;
        }
        // A box that ignored the action would hang the test: say so and end it.
        QTimer::singleShot(2000, box, [box] {
            if (box->isVisible()) {
                qWarning("the box stayed open");
                box->done(-1);
            }
        });
    });
}

} // namespace

// Failures name the answer instead of its number.
char* toString(MessageAnswer answer)
{
    static const char* const names[] = {"Ok", "Cancel", "Yes", "No"};
    return qstrdup(names[int(answer)]);
}

Q_DECLARE_METATYPE(MessageButtons)
Q_DECLARE_METATYPE(MessageAnswer)
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

class tst_QtMessageService : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answers_data();
    void answers();
    void showsTextTitleAndIcon();
};

void tst_QtMessageService::answers_data()
{
    QTest::addColumn<MessageButtons>("buttons");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QMessageBox::StandardButton>("press");
    QTest::addColumn<MessageAnswer>("answer");

    const auto none = QMessageBox::NoButton;
    QTest::newRow("OK: OK") << MessageButtons::Ok << Action::Press << QMessageBox::Ok
                            << MessageAnswer::Ok;
    QTest::newRow("OK: Enter") << MessageButtons::Ok << Action::Enter << none << MessageAnswer::Ok;
    QTest::newRow("OK: Escape") << MessageButtons::Ok << Action::Escape << none
                                << MessageAnswer::Ok;
    QTest::newRow("OK: frame") << MessageButtons::Ok << Action::CloseFrame << none
                               << MessageAnswer::Ok;

    QTest::newRow("OK/Cancel: OK")
        << MessageButtons::OkCancel << Action::Press << QMessageBox::Ok << MessageAnswer::Ok;
    QTest::newRow("OK/Cancel: Cancel") << MessageButtons::OkCancel << Action::Press
                                       << QMessageBox::Cancel << MessageAnswer::Cancel;
    QTest::newRow("OK/Cancel: Enter")
        << MessageButtons::OkCancel << Action::Enter << none << MessageAnswer::Ok;
    QTest::newRow("OK/Cancel: Escape")
        << MessageButtons::OkCancel << Action::Escape << none << MessageAnswer::Cancel;
    QTest::newRow("OK/Cancel: frame")
        << MessageButtons::OkCancel << Action::CloseFrame << none << MessageAnswer::Cancel;

    QTest::newRow("Yes/No: Yes") << MessageButtons::YesNo << Action::Press << QMessageBox::Yes
                                 << MessageAnswer::Yes;
    QTest::newRow("Yes/No: No") << MessageButtons::YesNo << Action::Press << QMessageBox::No
                                << MessageAnswer::No;
    QTest::newRow("Yes/No: Enter")
        << MessageButtons::YesNo << Action::Enter << none << MessageAnswer::Yes;
    QTest::newRow("Yes/No: Escape")
        << MessageButtons::YesNo << Action::Escape << none << MessageAnswer::No;
    QTest::newRow("Yes/No: frame")
        << MessageButtons::YesNo << Action::CloseFrame << none << MessageAnswer::No;

    QTest::newRow("Yes/No, default No: Yes") << MessageButtons::YesNoDefaultNo << Action::Press
                                             << QMessageBox::Yes << MessageAnswer::Yes;
    QTest::newRow("Yes/No, default No: Enter")
        << MessageButtons::YesNoDefaultNo << Action::Enter << none << MessageAnswer::No;
    QTest::newRow("Yes/No, default No: Escape")
        << MessageButtons::YesNoDefaultNo << Action::Escape << none << MessageAnswer::No;

    QTest::newRow("Yes/No/Cancel: Yes")
        << MessageButtons::YesNoCancel << Action::Press << QMessageBox::Yes << MessageAnswer::Yes;
    QTest::newRow("Yes/No/Cancel: No")
        << MessageButtons::YesNoCancel << Action::Press << QMessageBox::No << MessageAnswer::No;
    QTest::newRow("Yes/No/Cancel: Cancel") << MessageButtons::YesNoCancel << Action::Press
                                           << QMessageBox::Cancel << MessageAnswer::Cancel;
    QTest::newRow("Yes/No/Cancel: Escape")
        << MessageButtons::YesNoCancel << Action::Escape << none << MessageAnswer::Cancel;
    QTest::newRow("Yes/No/Cancel: frame")
        << MessageButtons::YesNoCancel << Action::CloseFrame << none << MessageAnswer::Cancel;
}

void tst_QtMessageService::answers()
{
    QFETCH(MessageButtons, buttons);
    QFETCH(Action, action);
    QFETCH(QMessageBox::StandardButton, press);
    QFETCH(MessageAnswer, answer);

    QtMessageService service;
    Seen seen;
    actOnBox(action, press, &seen);
    QCOMPARE(service.show(QStringLiteral("本文"), QStringLiteral("題"), buttons, MessageIcon::None),
             answer);

    const QHash<MessageButtons, QList<QMessageBox::StandardButton>> offered{
        {MessageButtons::Ok, {QMessageBox::Ok}},
        {MessageButtons::OkCancel, {QMessageBox::Ok, QMessageBox::Cancel}},
        {MessageButtons::YesNo, {QMessageBox::Yes, QMessageBox::No}},
        {MessageButtons::YesNoDefaultNo, {QMessageBox::Yes, QMessageBox::No}},
        {MessageButtons::YesNoCancel, {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}}};
    auto shown = seen.buttons;
    std::sort(shown.begin(), shown.end());
    auto wanted = offered.value(buttons);
    std::sort(wanted.begin(), wanted.end());
    QCOMPARE(shown, wanted);
}

void tst_QtMessageService::showsTextTitleAndIcon()
{
    QtMessageService service;
    const QList<QPair<MessageIcon, QMessageBox::Icon>> icons{
        {MessageIcon::None, QMessageBox::NoIcon},
        {MessageIcon::Critical, QMessageBox::Critical},
        {MessageIcon::Question, QMessageBox::Question},
        {MessageIcon::Warning, QMessageBox::Warning},
        {MessageIcon::Information, QMessageBox::Information}};
    for (const auto& [icon, shownIcon] : icons) {
        Seen seen;
        actOnBox(Action::Enter, QMessageBox::NoButton, &seen);
        service.show(QStringLiteral("一行目\r二行目\r\n三行目"), QStringLiteral("印刷確認"),
                     MessageButtons::Ok, icon);
        QCOMPARE(seen.text, QStringLiteral("一行目\n二行目\n三行目"));
        QCOMPARE(seen.title, QStringLiteral("印刷確認"));
        QCOMPARE(seen.icon, shownIcon);
        QCOMPARE(seen.format, Qt::PlainText); // file and user names are no markup
    }
}

QTEST_MAIN(tst_QtMessageService)
#include "tst_QtMessageService.moc"
