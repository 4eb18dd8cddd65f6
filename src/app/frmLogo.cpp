#include "frmLogo.h"

#include "CenterForm.h"
#include "PelkoArt.h"
#include "PelkoVersion.h"
#include "modPelko.h"
#include "platform/MessageService.h"
#include "platform/ProgramEnd.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"

#include <QGridLayout>
#include <QLabel>
#include <QTimer>

frmLogo& frmLogo::instance()
{
    static frmLogo* form = new frmLogo;
    return *form;
}

frmLogo::frmLogo() : QDialog(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmLogo"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);

    imgLogo = new QLabel(this);
    imgLogo->setPixmap(logoPixmap(96, devicePixelRatioF()));
    imgLogo->setAccessibleName(QStringLiteral("Pelko"));

    lblTitle = new QLabel(QStringLiteral("日本語入力速度測定ソフト"), this);
    QFont titleFont(QStringLiteral("IPAPGothic"));
    titleFont.setPointSize(20);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVer_lb = new QLabel(QStringLiteral("ver"), this);
    lblVer = new QLabel(QStringLiteral("0.0.0"), this);
    auto* lblNote = new QLabel(QStringLiteral("起動しています…"), this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(28, 24, 28, 20);
    grid->setHorizontalSpacing(16);
    grid->addWidget(imgLogo, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1, 1, 3);
    grid->addWidget(lblVer_lb, 1, 2, Qt::AlignRight);
    grid->addWidget(lblVer, 1, 3, Qt::AlignLeft);
    grid->addWidget(lblNote, 2, 1, 1, 3);

    timLoadTime = new QTimer(this);
    timLoadTime->setInterval(2000);
    connect(timLoadTime, &QTimer::timeout, this, &frmLogo::timLoadTime_Timer);
}

int frmLogo::showModal()
{
    Form_Load();
    timLoadTime->start();
    const int result = exec();
    timLoadTime->stop();
    return result;
}

void frmLogo::Form_Load()
{
    m_activated = false;
    adjustSize();
    CenterForm(this, QStringLiteral("center"));
    lblVer->setText(PelkoVersionText());
}

void frmLogo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        QMetaObject::invokeMethod(this, &frmLogo::Form_Activate, Qt::QueuedConnection);
    }
}

void frmLogo::Form_Activate()
{
    objKankyo->LoadINI();
    if (objKankyo->LoadFlg())
        return;
    MsgBox(QStringLiteral("INIファイルの取得に失敗しました！"), MsgButtons::Ok,
           QStringLiteral("INIエラー"), MsgIcon::Critical);
    objKankyo.reset();
    objUser.reset();
    timLoadTime->stop();
    EndProgram(1);
}

void frmLogo::timLoadTime_Timer()
{
    if (objKankyo && objKankyo->LoadFlg())
        accept();
}
