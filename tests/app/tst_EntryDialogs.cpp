#include "app/AboutDialog.h"
#include "app/SelfAssessmentDialog.h"
#include "app/UserEntryDialog.h"
#include "platform/MessageService.h"
#include "results/RunRecord.h"
#include "support/WindowParts.h"

#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

// User entry, self-assessment and about window: what ends up in the result record.
class tst_EntryDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { m_record = std::make_unique<RunRecord>(); }
    void cleanup() { m_record.reset(); }
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

private:
    std::unique_ptr<RunRecord> m_record;
};

void tst_EntryDialogs::entryStartsFromAccountName()
{
    UserEntryDialog dialog(*m_record);
    m_record->setUserName(QStringLiteral("前回の名前"));
    dialog.prepare();
    QCOMPARE(part<QLineEdit>(dialog, "idEdit")->text(), m_record->loginName());
    QVERIFY(part<QLineEdit>(dialog, "nameEdit")->text().isEmpty());
    QVERIFY(m_record->userName().isEmpty());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QTRY_COMPARE(QApplication::focusWidget(), part<QLineEdit>(dialog, "nameEdit"));
    dialog.hide();
}

void tst_EntryDialogs::entryFocusWithoutAccountName()
{
    UserEntryDialog dialog(*m_record);
    dialog.prepare();
    part<QLineEdit>(dialog, "idEdit")->clear();
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QTRY_COMPARE(QApplication::focusWidget(), part<QLineEdit>(dialog, "idEdit"));
    dialog.hide();
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
    UserEntryDialog dialog(*m_record);
    QTimer::singleShot(0, &dialog, [&] {
        part<QLineEdit>(dialog, "idEdit")->setText(QStringLiteral("A001"));
        if (!inIdBox)
            part<QLineEdit>(dialog, "nameEdit")->setText(QStringLiteral("山田　花子"));
        QTest::keyClick(inIdBox ? part<QLineEdit>(dialog, "idEdit")
                                : part<QLineEdit>(dialog, "nameEdit"),
                        Qt::Key_Return);
    });
    QTimer::singleShot(3000, &dialog, [&] { dialog.reject(); }); // never hang the suite
    dialog.exec();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(m_record->userId(), QStringLiteral("A001"));
    QCOMPARE(m_record->userName(), inIdBox ? QString() : QStringLiteral("山田　花子"));
}

void tst_EntryDialogs::closingByFrameKeepsValues()
{
    UserEntryDialog dialog(*m_record);
    QTimer::singleShot(0, &dialog, [&] {
        part<QLineEdit>(dialog, "idEdit")->setText(QStringLiteral("B002"));
        part<QLineEdit>(dialog, "nameEdit")->setText(QStringLiteral("佐藤"));
        dialog.close();
    });
    dialog.exec();
    QCOMPARE(m_record->userId(), QStringLiteral("B002"));
    QCOMPARE(m_record->userName(), QStringLiteral("佐藤"));
    part<QLineEdit>(dialog, "idEdit")->insert(QString(400, u'B'));
    part<QLineEdit>(dialog, "nameEdit")->insert(QString(400, u'寿'));
    QCOMPARE(m_record->userId().size(), UserEntryDialog::MaxIdLength);
    QCOMPARE(m_record->userName().size(), UserEntryDialog::MaxNameLength);
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
    UserEntryDialog dialog(*m_record);
    QLineEdit* box = nullptr;
    bool stayedOpen = false;
    QWidget* focused = nullptr;
    QString selection;
    QTimer::singleShot(0, &dialog, [&] {
        part<QLineEdit>(dialog, "idEdit")->setText(QStringLiteral("A001"));
        box = inIdBox ? part<QLineEdit>(dialog, "idEdit") : part<QLineEdit>(dialog, "nameEdit");
        box->setText(text);
        part<QLineEdit>(dialog, "nameEdit")->setFocus();
        if (how == OkButton)
            part<QPushButton>(dialog, "okButton")->click();
        else if (how == Enter)
            QTest::keyClick(part<QLineEdit>(dialog, "nameEdit"), Qt::Key_Return);
        else
            dialog.close();
        stayedOpen = dialog.isVisible();
        focused = dialog.focusWidget();
        selection = box->selectedText();
        // Mended, the same way out closes the dialog.
        box->setText(QStringLiteral("A002"));
        part<QPushButton>(dialog, "okButton")->click();
    });
    QTimer::singleShot(3000, &dialog, [&] { dialog.done(QDialog::Rejected); });
    dialog.exec();
    QVERIFY(stayedOpen);
    QCOMPARE(recorder.texts(), QStringList{message});
    QCOMPARE(recorder.shown().at(0).title, QStringLiteral("利用者登録"));
    QCOMPARE(focused, box);
    QCOMPARE(selection, selected);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(inIdBox ? m_record->userId() : m_record->userName(), QStringLiteral("A002"));
}

void tst_EntryDialogs::idBoxKeepsInputMethodOut()
{
    UserEntryDialog dialog(*m_record);
    QVERIFY(!part<QLineEdit>(dialog, "idEdit")->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(part<QLineEdit>(dialog, "nameEdit")->testAttribute(Qt::WA_InputMethodEnabled));
    // What the input method plug-ins ask before they take a key: the attribute alone
    // did not keep ibus out of the ID box.
    const auto accepts = [](QWidget* box) {
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QCoreApplication::sendEvent(box, &query);
        return query.value(Qt::ImEnabled).toBool();
    };
    QVERIFY(!accepts(part<QLineEdit>(dialog, "idEdit")));
    QVERIFY(accepts(part<QLineEdit>(dialog, "nameEdit")));
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
    m_record->setCertification(true);
    SelfAssessmentDialog dialog(*m_record);
    QTimer::singleShot(0, &dialog, [&] {
        QCOMPARE(partsNamed<QRadioButton>(&dialog, "answerButton").at(2)->isChecked(), true);
        // Wide enough for its title, the question, beside the title bar's buttons.
        QVERIFY(dialog.width() >
                dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 100);
        if (option < 0) {
            QTest::keyClick(partsNamed<QRadioButton>(&dialog, "answerButton").at(2),
                            Qt::Key_Return);
        } else if (doubleClick) {
            QTest::mouseDClick(partsNamed<QRadioButton>(&dialog, "answerButton").at(option),
                               Qt::LeftButton);
        } else {
            partsNamed<QRadioButton>(&dialog, "answerButton").at(option)->setChecked(true);
            dialog.confirm();
        }
    });
    QTimer::singleShot(3000, &dialog, [&] { dialog.reject(); });
    dialog.exec();
    QCOMPARE(m_record->isCertification(), stillCertification);
    QCOMPARE(recorder.shown().size(), messages);
    if (messages) {
        QVERIFY(recorder.texts().at(0).startsWith(
            QStringLiteral("それでは、まず練習してみてください。")));
        QCOMPARE(recorder.shown().at(0).title, QStringLiteral("Pelko"));
    }
}

void tst_EntryDialogs::aboutWindowTexts()
{
    MessageRecorder recorder;
    AboutDialog dialog;
    dialog.prepare();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Pelkoのﾊﾞｰｼﾞｮﾝ情報"));
    QVERIFY(part<QLabel>(dialog, "versionLabel")->text().startsWith(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ")));
    QCOMPARE(part<QLabel>(dialog, "titleLabel")->text(), QStringLiteral("Pelko"));
    dialog.m_systemInfoTools = {QStringLiteral("no-such-tool-here")};
    dialog.startSystemInfoTool();
    QCOMPARE(recorder.texts(), QStringList{QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません")});
}

QTEST_MAIN(tst_EntryDialogs)
#include "tst_EntryDialogs.moc"
