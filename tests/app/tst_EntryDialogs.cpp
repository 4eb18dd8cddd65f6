#include "app/frmKakunin.h"
#include "app/frmTouroku.h"
#include "app/frmVer.h"
#include "app/modPelko.h"
#include "platform/MessageService.h"
#include "results/clsUser.h"

#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

// User entry, self-assessment and about window: what ends up in the result record.
class tst_EntryDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { objUser = std::make_unique<clsUser>(); }
    void cleanup() { objUser.reset(); }
    void entryStartsFromAccountName();
    void entryFocusWithoutAccountName();
    void enterInEitherBoxCloses_data();
    void enterInEitherBoxCloses();
    void closingByFrameKeepsValues();
    void characterTheLogCannotTakeIsRefused_data();
    void characterTheLogCannotTakeIsRefused();
    void idBoxKeepsInputMethodOut();
    void selfAssessment_data();
    void selfAssessment();
    void aboutWindowTexts();
};

void tst_EntryDialogs::entryStartsFromAccountName()
{
    frmTouroku& form = frmTouroku::instance();
    objUser->setUserName(QStringLiteral("前回の名前"));
    form.Form_Load();
    QCOMPARE(form.txtID->text(), objUser->PC_UserID());
    QVERIFY(form.txtName->text().isEmpty());
    QVERIFY(objUser->UserName().isEmpty());
    form.show();
    QApplication::setActiveWindow(&form);
    QTRY_COMPARE(QApplication::focusWidget(), form.txtName);
    form.hide();
}

void tst_EntryDialogs::entryFocusWithoutAccountName()
{
    frmTouroku& form = frmTouroku::instance();
    form.Form_Load();
    form.txtID->clear();
    form.show();
    QApplication::setActiveWindow(&form);
    QTRY_COMPARE(QApplication::focusWidget(), form.txtID);
    form.hide();
}

void tst_EntryDialogs::enterInEitherBoxCloses_data()
{
    QTest::addColumn<bool>("inIdBox");
    QTest::newRow("ID box, name empty") << true;
    QTest::newRow("name box") << false;
}

void tst_EntryDialogs::enterInEitherBoxCloses()
{
    QFETCH(bool, inIdBox);
    frmTouroku& form = frmTouroku::instance();
    QTimer::singleShot(0, &form, [&] {
        form.txtID->setText(QStringLiteral("A001"));
        if (!inIdBox)
            form.txtName->setText(QStringLiteral("山田　花子"));
        QTest::keyClick(inIdBox ? form.txtID : form.txtName, Qt::Key_Return);
    });
    QTimer::singleShot(3000, &form, [&] { form.reject(); }); // never hang the suite
    form.showModal();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(objUser->UserID(), QStringLiteral("A001"));
    QCOMPARE(objUser->UserName(), inIdBox ? QString() : QStringLiteral("山田　花子"));
}

void tst_EntryDialogs::closingByFrameKeepsValues()
{
    frmTouroku& form = frmTouroku::instance();
    QTimer::singleShot(0, &form, [&] {
        form.txtID->setText(QStringLiteral("B002"));
        form.txtName->setText(QStringLiteral("佐藤"));
        form.close();
    });
    form.showModal();
    QCOMPARE(objUser->UserID(), QStringLiteral("B002"));
    QCOMPARE(objUser->UserName(), QStringLiteral("佐藤"));
}

namespace
{
enum How { OkButton, Enter, Frame };
}

void tst_EntryDialogs::characterTheLogCannotTakeIsRefused_data()
{
    QTest::addColumn<bool>("inIdBox");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("how");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("selected");
    const QString rule = QStringLiteral("が含まれています。カンマ、ダブルクォーテーション、改行と、"
                                        "シフトJISで表せない文字は使えません。");
    QTest::newRow("comma in the name, OK")
        << false << QStringLiteral("山田,花子") << int(OkButton)
        << QStringLiteral("氏名に使えない文字「,」") + rule << QStringLiteral(",");
    QTest::newRow("quote in the ID, Enter")
        << true << QStringLiteral("A\"01") << int(Enter)
        << QStringLiteral("利用者IDに使えない文字「\"」") + rule << QStringLiteral("\"");
    QTest::newRow("line break in the name, frame")
        << false << QStringLiteral("山田\r\n花子") << int(Frame)
        << QStringLiteral("氏名に使えない文字（改行）") + rule << QStringLiteral("\r");
    QTest::newRow("outside Shift-JIS, Enter")
        << false << QStringLiteral("𠮷野家😀") << int(Enter)
        << QStringLiteral("氏名に使えない文字「𠮷」") + rule << QStringLiteral("𠮷");
    QTest::newRow("emoji in the ID, frame")
        << true << QStringLiteral("id😀") << int(Frame)
        << QStringLiteral("利用者IDに使えない文字「😀」") + rule << QStringLiteral("😀");
}

void tst_EntryDialogs::characterTheLogCannotTakeIsRefused()
{
    QFETCH(bool, inIdBox);
    QFETCH(QString, text);
    QFETCH(int, how);
    QFETCH(QString, message);
    QFETCH(QString, selected);
    MessageRecorder recorder;
    frmTouroku& form = frmTouroku::instance();
    QLineEdit* box = nullptr;
    bool stayedOpen = false;
    QWidget* focused = nullptr;
    QString selection;
    QTimer::singleShot(0, &form, [&] {
        form.txtID->setText(QStringLiteral("A001"));
        box = inIdBox ? form.txtID : form.txtName;
        box->setText(text);
        form.txtName->setFocus();
        if (how == OkButton)
            form.cmdOK->click();
        else if (how == Enter)
            QTest::keyClick(form.txtName, Qt::Key_Return);
        else
            form.close();
        stayedOpen = form.isVisible();
        focused = form.focusWidget();
        selection = box->selectedText();
        // Mended, the same way out closes the dialog.
        box->setText(QStringLiteral("A002"));
        form.cmdOK->click();
    });
    QTimer::singleShot(3000, &form, [&] { form.done(QDialog::Rejected); });
    form.showModal();
    QVERIFY(stayedOpen);
    QCOMPARE(recorder.texts(), QStringList{message});
    QCOMPARE(recorder.shown().at(0).title, QStringLiteral("利用者登録"));
    QCOMPARE(focused, box);
    QCOMPARE(selection, selected);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(inIdBox ? objUser->UserID() : objUser->UserName(), QStringLiteral("A002"));
}

void tst_EntryDialogs::idBoxKeepsInputMethodOut()
{
    frmTouroku& form = frmTouroku::instance();
    QVERIFY(!form.txtID->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(form.txtName->testAttribute(Qt::WA_InputMethodEnabled));
    // What the input method plug-ins ask before they take a key: the attribute alone
    // did not keep ibus out of the ID box.
    const auto accepts = [](QWidget* box) {
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QCoreApplication::sendEvent(box, &query);
        return query.value(Qt::ImEnabled).toBool();
    };
    QVERIFY(!accepts(form.txtID));
    QVERIFY(accepts(form.txtName));
}

void tst_EntryDialogs::selfAssessment_data()
{
    QTest::addColumn<int>("option"); // -1: Enter at once
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<bool>("stillCertification");
    QTest::addColumn<int>("messages");
    QTest::newRow("Enter at once: practice first") << -1 << false << false << 1;
    QTest::newRow("double-click confident") << 0 << true << true << 0;
    QTest::newRow("about pass level, OK") << 1 << false << true << 0;
    QTest::newRow("double-click not practised") << 2 << true << false << 1;
}

void tst_EntryDialogs::selfAssessment()
{
    QFETCH(int, option);
    QFETCH(bool, doubleClick);
    QFETCH(bool, stillCertification);
    QFETCH(int, messages);
    MessageRecorder recorder;
    objUser->setKenteiON(true);
    frmKakunin& form = frmKakunin::instance();
    QTimer::singleShot(0, &form, [&] {
        QCOMPARE(form.opt_kakunin.at(2)->isChecked(), true);
        if (option < 0) {
            QTest::keyClick(form.opt_kakunin.at(2), Qt::Key_Return);
        } else if (doubleClick) {
            QTest::mouseDClick(form.opt_kakunin.at(option), Qt::LeftButton);
        } else {
            form.opt_kakunin.at(option)->setChecked(true);
            form.cmdOk_Click();
        }
    });
    QTimer::singleShot(3000, &form, [&] { form.reject(); });
    form.showModal();
    QCOMPARE(objUser->KenteiON(), stillCertification);
    QCOMPARE(recorder.shown().size(), messages);
    if (messages) {
        QVERIFY(recorder.texts().at(0).startsWith(QStringLiteral("それでは、まず練習してみてください。")));
        QCOMPARE(recorder.shown().at(0).title, QStringLiteral("Pelko"));
    }
}

void tst_EntryDialogs::aboutWindowTexts()
{
    MessageRecorder recorder;
    frmVer& form = frmVer::instance();
    form.Form_Load();
    QCOMPARE(form.windowTitle(), QStringLiteral("Pelkoのﾊﾞｰｼﾞｮﾝ情報"));
    QVERIFY(form.lblVersion->text().startsWith(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ")));
    QCOMPARE(form.lblTitle->text(), QStringLiteral("Pelko"));
    form.sysInfoTools = {QStringLiteral("no-such-tool-here")};
    form.StartSysInfo();
    QCOMPARE(recorder.texts(), QStringList{QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません")});
}

QTEST_MAIN(tst_EntryDialogs)
#include "tst_EntryDialogs.moc"
