#include "frmSentaku.h"

#include "CenterForm.h"
#include "modPelko.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>

namespace {

QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption,
                        int top)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(caption);
    QFont font = Fonts::proportional(0);
    font.setPointSize(14);
    button->setFont(font);
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
    cmdRensyu = makeButton(this, QStringLiteral("cmdRensyu"), QStringLiteral("練習"), 0);
    cmdNintei = makeButton(this, QStringLiteral("cmdNintei"), QStringLiteral("認定試験"), 56);
    cmdRanking = makeButton(this, QStringLiteral("cmdRanking"), QStringLiteral("ランキング"), 112);
    cmdKankyo = makeButton(this, QStringLiteral("cmdKankyo"), QStringLiteral("環境設定"), 168);
    cmdEnd = makeButton(this, QStringLiteral("cmdEnd"), QStringLiteral("終了"), 224);
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

void frmSentaku::notYetAvailable()
{
    MsgBox(QStringLiteral("この機能はまだ使用できません。"));
}

void frmSentaku::cmdRensyu_Click() { notYetAvailable(); }
void frmSentaku::cmdNintei_Click() { notYetAvailable(); }
void frmSentaku::cmdRanking_Click() { notYetAvailable(); }
void frmSentaku::cmdKankyo_Click() { notYetAvailable(); }

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
