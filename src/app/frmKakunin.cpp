#include "frmKakunin.h"

#include "CenterForm.h"
#include "modPelko.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "results/clsUser.h"
#include "settings/ChooserArt.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmKakunin& frmKakunin::instance()
{
    static frmKakunin* form = new frmKakunin;
    return *form;
}

frmKakunin::frmKakunin()
{
    setObjectName(QStringLiteral("frmKakunin"));
    setWindowTitle(QStringLiteral("確認です。あなたはどれに当てはまりますか？"));
    setFont(Fonts::proportional(11));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QButtonGroup(this);
    const QStringList captions{QStringLiteral("タイピングには自信がある！練習はもう十分！"),
                               QStringLiteral("大体は合格するぐらいのレベルはなった"),
                               QStringLiteral("練習もしていないし、キーボード打つのも苦手")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions.at(i), this);
        option->setObjectName(QStringLiteral("opt_kakunin%1").arg(i));
        group->addButton(option, i);
        option->installEventFilter(this);
        layout->addWidget(option);
        opt_kakunin.append(option);
    }
    cmdOK = ChooserArt::okButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    connect(cmdOK, &QPushButton::clicked, this, &frmKakunin::cmdOk_Click);
}

void frmKakunin::showModal()
{
    Form_Load();
    exec();
}

void frmKakunin::Form_Load()
{
    opt_kakunin.at(2)->setChecked(true);
    opt_kakunin.at(2)->setFocus();
}

void frmKakunin::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmKakunin::Form_Activate()
{
    adjustSize();
    CenterForm(this, QStringLiteral("center"));
}

void frmKakunin::cmdOk_Click()
{
    if (opt_kakunin.at(2)->isChecked()) {
        MsgBox(QStringLiteral("それでは、まず練習してみてください。形式は本番と同じなので合格範囲内に"
                              "なったら検定を受けてください"));
        objUser->setKenteiON(false);
    }
    accept();
}

void frmKakunin::opt_kakunin_DblClick(int index)
{
    opt_kakunin.at(index)->setChecked(true);
    cmdOk_Click();
}

void frmKakunin::opt_kakunin_KeyPress(int, int keyAscii)
{
    if (keyAscii == 13)
        cmdOk_Click();
}

bool frmKakunin::eventFilter(QObject* watched, QEvent* event)
{
    const int index = int(opt_kakunin.indexOf(static_cast<QRadioButton*>(watched)));
    if (index >= 0) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            opt_kakunin_DblClick(index);
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                opt_kakunin_KeyPress(index, 13);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
