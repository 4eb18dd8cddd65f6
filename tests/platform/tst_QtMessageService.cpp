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
char* toString(MsgAnswer answer)
{
    static const char* const names[] = {"Ok", "Cancel", "Yes", "No"};
    return qstrdup(names[int(answer)]);
}

Q_DECLARE_METATYPE(MsgButtons)
Q_DECLARE_METATYPE(MsgAnswer)
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
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QMessageBox::StandardButton>("press");
    QTest::addColumn<MsgAnswer>("answer");

    const auto none = QMessageBox::NoButton;
    QTest::newRow("OK: OK") << MsgButtons::Ok << Action::Press << QMessageBox::Ok << MsgAnswer::Ok;
    QTest::newRow("OK: Enter") << MsgButtons::Ok << Action::Enter << none << MsgAnswer::Ok;
    QTest::newRow("OK: Escape") << MsgButtons::Ok << Action::Escape << none << MsgAnswer::Ok;
    QTest::newRow("OK: frame") << MsgButtons::Ok << Action::CloseFrame << none << MsgAnswer::Ok;

    QTest::newRow("OK/Cancel: OK")
        << MsgButtons::OkCancel << Action::Press << QMessageBox::Ok << MsgAnswer::Ok;
    QTest::newRow("OK/Cancel: Cancel")
        << MsgButtons::OkCancel << Action::Press << QMessageBox::Cancel << MsgAnswer::Cancel;
    QTest::newRow("OK/Cancel: Enter")
        << MsgButtons::OkCancel << Action::Enter << none << MsgAnswer::Ok;
    QTest::newRow("OK/Cancel: Escape")
        << MsgButtons::OkCancel << Action::Escape << none << MsgAnswer::Cancel;
    QTest::newRow("OK/Cancel: frame")
        << MsgButtons::OkCancel << Action::CloseFrame << none << MsgAnswer::Cancel;

    QTest::newRow("Yes/No: Yes")
        << MsgButtons::YesNo << Action::Press << QMessageBox::Yes << MsgAnswer::Yes;
    QTest::newRow("Yes/No: No")
        << MsgButtons::YesNo << Action::Press << QMessageBox::No << MsgAnswer::No;
    QTest::newRow("Yes/No: Enter") << MsgButtons::YesNo << Action::Enter << none << MsgAnswer::Yes;
    QTest::newRow("Yes/No: Escape")
        << MsgButtons::YesNo << Action::Escape << none << MsgAnswer::No;
    QTest::newRow("Yes/No: frame")
        << MsgButtons::YesNo << Action::CloseFrame << none << MsgAnswer::No;

    QTest::newRow("Yes/No, default No: Yes")
        << MsgButtons::YesNoDefaultNo << Action::Press << QMessageBox::Yes << MsgAnswer::Yes;
    QTest::newRow("Yes/No, default No: Enter")
        << MsgButtons::YesNoDefaultNo << Action::Enter << none << MsgAnswer::No;
    QTest::newRow("Yes/No, default No: Escape")
        << MsgButtons::YesNoDefaultNo << Action::Escape << none << MsgAnswer::No;

    QTest::newRow("Yes/No/Cancel: Yes")
        << MsgButtons::YesNoCancel << Action::Press << QMessageBox::Yes << MsgAnswer::Yes;
    QTest::newRow("Yes/No/Cancel: No")
        << MsgButtons::YesNoCancel << Action::Press << QMessageBox::No << MsgAnswer::No;
    QTest::newRow("Yes/No/Cancel: Cancel")
        << MsgButtons::YesNoCancel << Action::Press << QMessageBox::Cancel << MsgAnswer::Cancel;
    QTest::newRow("Yes/No/Cancel: Escape")
        << MsgButtons::YesNoCancel << Action::Escape << none << MsgAnswer::Cancel;
    QTest::newRow("Yes/No/Cancel: frame")
        << MsgButtons::YesNoCancel << Action::CloseFrame << none << MsgAnswer::Cancel;
}

void tst_QtMessageService::answers()
{
    QFETCH(MsgButtons, buttons);
    QFETCH(Action, action);
    QFETCH(QMessageBox::StandardButton, press);
    QFETCH(MsgAnswer, answer);

    QtMessageService service;
    Seen seen;
    actOnBox(action, press, &seen);
    QCOMPARE(service.show(QStringLiteral("本文"), QStringLiteral("題"), buttons, MsgIcon::None),
             answer);

    const QHash<MsgButtons, QList<QMessageBox::StandardButton>> offered{
        {MsgButtons::Ok, {QMessageBox::Ok}},
        {MsgButtons::OkCancel, {QMessageBox::Ok, QMessageBox::Cancel}},
        {MsgButtons::YesNo, {QMessageBox::Yes, QMessageBox::No}},
        {MsgButtons::YesNoDefaultNo, {QMessageBox::Yes, QMessageBox::No}},
        {MsgButtons::YesNoCancel, {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}}};
    auto shown = seen.buttons;
    std::sort(shown.begin(), shown.end());
    auto wanted = offered.value(buttons);
    std::sort(wanted.begin(), wanted.end());
    QCOMPARE(shown, wanted);
}

void tst_QtMessageService::showsTextTitleAndIcon()
{
    QtMessageService service;
    const QList<QPair<MsgIcon, QMessageBox::Icon>> icons{
        {MsgIcon::None, QMessageBox::NoIcon},
        {MsgIcon::Critical, QMessageBox::Critical},
        {MsgIcon::Question, QMessageBox::Question},
        {MsgIcon::Exclamation, QMessageBox::Warning},
        {MsgIcon::Information, QMessageBox::Information}};
    for (const auto& [icon, shownIcon] : icons) {
        Seen seen;
        actOnBox(Action::Enter, QMessageBox::NoButton, &seen);
        service.show(QStringLiteral("一行目\r二行目\r\n三行目"), QStringLiteral("印刷確認"),
                     MsgButtons::Ok, icon);
        QCOMPARE(seen.text, QStringLiteral("一行目\n二行目\n三行目"));
        QCOMPARE(seen.title, QStringLiteral("印刷確認"));
        QCOMPARE(seen.icon, shownIcon);
    }
}

QTEST_MAIN(tst_QtMessageService)
#include "tst_QtMessageService.moc"
