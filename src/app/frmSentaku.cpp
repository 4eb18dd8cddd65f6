#include "frmSentaku.h"

#include "CenterForm.h"
#include "MenuArt.h"
#include "common/PelkoError.h"
#include "frmKakunin.h"
#include "frmTouroku.h"
#include "modPelko.h"
#include "platform/DrawnIcon.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "platform/Printers.h"
#include "problems/colReidai.h"
#include "results/clsUser.h"
#include "results/frmRanking.h"
#include "settings/clsKankyo.h"
#include "settings/frmKankyo.h"
#include "test/mdiKenteiBack.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>

namespace {

QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption,
                        const QIcon& picture, int top)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    QFont font = Fonts::proportional(0);
    font.setPointSize(14);
    button->setFont(font);
    DrawnIcon::makePictureButton(button, picture, caption, 40);
    button->setGeometry(0, top, frmSentaku::ButtonWidth, frmSentaku::ButtonHeight);
    return button;
}

} // namespace

frmSentaku& frmSentaku::instance()
{
    static frmSentaku* form = new frmSentaku;
    return *form;
}

frmSentaku::frmSentaku() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmSentaku"));
    setWindowTitle(QStringLiteral("Pelko メインメニュー"));
    cmdRensyu = makeButton(this, QStringLiteral("cmdRensyu"), QStringLiteral("練習"),
                           MenuArt::practice(), 0);
    cmdNintei = makeButton(this, QStringLiteral("cmdNintei"), QStringLiteral("認定試験"),
                           MenuArt::certification(), 56);
    cmdRanking = makeButton(this, QStringLiteral("cmdRanking"), QStringLiteral("ランキング"),
                            MenuArt::ranking(), 112);
    cmdKankyo = makeButton(this, QStringLiteral("cmdKankyo"), QStringLiteral("環境設定"),
                           MenuArt::settings(), 168);
    cmdEnd = makeButton(this, QStringLiteral("cmdEnd"), QStringLiteral("終了"), MenuArt::end(), 224);
    setFixedSize(ButtonWidth, 5 * ButtonHeight);

    connect(cmdRensyu, &QPushButton::clicked, this, &frmSentaku::cmdRensyu_Click);
    connect(cmdNintei, &QPushButton::clicked, this, &frmSentaku::cmdNintei_Click);
    connect(cmdRanking, &QPushButton::clicked, this, &frmSentaku::cmdRanking_Click);
    connect(cmdKankyo, &QPushButton::clicked, this, &frmSentaku::cmdKankyo_Click);
    connect(cmdEnd, &QPushButton::clicked, this, &frmSentaku::cmdEnd_Click);
}

void frmSentaku::Form_Load()
{
    // Loading again starts from the full column, as a freshly created window would.
    const QList<QPushButton*> column{cmdRensyu, cmdNintei, cmdRanking, cmdKankyo, cmdEnd};
    for (int i = 0; i < column.size(); ++i) {
        column[i]->move(0, i * ButtonHeight);
        column[i]->setVisible(true);
    }
    setFixedSize(ButtonWidth, int(column.size()) * ButtonHeight);
    CenterForm(this, QStringLiteral("center"));
    m_firstActivation = true;
}

void frmSentaku::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Form_Activate();
}

void frmSentaku::Form_Activate()
{
    if (!m_firstActivation)
        return;
    if (!objKankyo->ShowPlactice()) {
        cmdRensyu->hide();
        cmdNintei->move(0, 0);
        cmdRanking->move(0, 56);
        cmdKankyo->move(0, 112);
        cmdEnd->move(0, 168);
        setFixedHeight(height() - ButtonHeight);
    }
    if (!objKankyo->ShowKankyo()) {
        cmdKankyo->hide();
        cmdEnd->move(0, cmdEnd->y() - ButtonHeight);
        setFixedHeight(height() - ButtonHeight);
    }
    m_firstActivation = false;
}

void frmSentaku::openTestWindow()
{
    // The test window shows itself; when it cannot proceed it clears TestReady, hides and
    // brings this window back.
    mdiKenteiBack& test = mdiKenteiBack::instance();
    test.MDIForm_Load();
    if (!TestReady)
        test.hide();
}

bool frmSentaku::problemsFoundIn(const QString& folder)
{
    // Asked before the name entry, so the candidate does not type a name for a run that
    // cannot start.
    bool found = true;
    try {
        found = !colReidai::GetReidaiList(folder).isEmpty();
    } catch (const PelkoError&) {
        // Too many files: the loader reports that itself.
    }
    if (found)
        return true;
    TestReady = false;
    MsgBox(QStringLiteral("例題文のフォルダ「") + folder +
               QStringLiteral("」に例題文（jpn_dat.*）がありません。"
                              "環境設定の画面で例題文のフォルダを指定してください"),
           MsgButtons::Ok, QStringLiteral("エラー"), MsgIcon::Critical);
    return false;
}

void frmSentaku::cmdRensyu_Click()
{
    if (!problemsFoundIn(objKankyo->TestFilepath()))
        return;
    objUser->setKenteiON(false);
    TestReady = true;
    hide();
    frmTouroku::instance().showModal();
    openTestWindow();
}

void frmSentaku::cmdNintei_Click()
{
    // A certificate cannot be printed without a printer.
    if (Printers::installedNames().size() <= 0) {
        MsgBox(QStringLiteral("認定には最低1台のプリンタが必要です。プリンタのインストールを行ってください"),
               MsgButtons::Ok, QStringLiteral("プリンタ数のエラー"));
        return;
    }
    if (!problemsFoundIn(objKankyo->Filepath()))
        return;
    objUser->setKenteiON(true);
    TestReady = true;
    hide();
    frmTouroku::instance().showModal();
    if (objKankyo->ShowPlactice())
        frmKakunin::instance().showModal();
    openTestWindow();
}

void frmSentaku::cmdRanking_Click() { frmRanking::instance().showModal(); }

void frmSentaku::cmdKankyo_Click() { frmKankyo::instance().showModal(); }

void frmSentaku::cmdEnd_Click()
{
    objKankyo.reset();
    objUser.reset();
    close();
}

void frmSentaku::closeEvent(QCloseEvent* event)
{
    event->accept();
    QApplication::quit();
}
