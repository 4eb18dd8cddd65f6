#include "frmVer.h"

#include "CenterForm.h"
#include "PelkoArt.h"
#include "PelkoVersion.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "settings/ChooserArt.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

frmVer& frmVer::instance()
{
    static frmVer* form = new frmVer;
    return *form;
}

namespace {

QFrame* separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

frmVer::frmVer()
    : sysInfoTools{QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                   QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor")}
{
    setObjectName(QStringLiteral("frmVer"));
    setFont(Fonts::proportional(10));

    imgLogo = new QLabel(this);
    imgLogo->setPixmap(logoPixmap(85, devicePixelRatioF()));
    lblTitle = new QLabel(this);
    QFont titleFont = Fonts::proportional(18);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel(this);

    lblMakerTitle = new QLabel(QStringLiteral("製作者 :"), this);
    lblMaker = new QLabel(QStringLiteral("Pelko 開発チーム"), this);
    lblSyozokuTitle = new QLabel(QStringLiteral("所属 :"), this);
    lblSyozoku = new QLabel(QStringLiteral("日本語入力教育ソフトウェア研究会"), this);
    lblURLTitle = new QLabel(QStringLiteral("サポートページ"), this);
    lblURL = new QLabel(QStringLiteral("同梱のヘルプ（ヘルプ → 目次）をご覧ください"), this);
    lblMailTitle = new QLabel(QStringLiteral("電子メールアドレス :"), this);
    lblMail = new QLabel(QStringLiteral("support@pelko.invalid"), this);
    lblPS = new QLabel(QStringLiteral("質問等は上記メールアドレスまで。"), this);
    lblDescription = new QLabel(
        QStringLiteral("日本語入力（IME）の速さと正確さを測り、練習と認定に使うソフトです。"
                       "入力速度（文字/分）と正打率を記録し、認定に合格すると認定証を印刷します。"),
        this);
    lblDescription->setWordWrap(true);
    lblDisclaimer = new QLabel(
        QStringLiteral("本ソフトの使用によって生じたいかなる損害についても、製作者は責任を負いません。"
                       "測定結果は練習と学習の目安としてお使いください。"),
        this);
    lblDisclaimer->setWordWrap(true);

    cmdsysinfo = new QPushButton(QStringLiteral("システム情報"), this);
    cmdOK = ChooserArt::okButton(this);
    cmdOK->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(imgLogo, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1, 1, 2);
    grid->addWidget(lblVersion, 1, 1, 1, 2);
    grid->addWidget(separator(this), 2, 0, 1, 3);
    grid->addWidget(lblMakerTitle, 3, 0, Qt::AlignRight);
    grid->addWidget(lblMaker, 3, 1, 1, 2);
    grid->addWidget(lblSyozokuTitle, 4, 0, Qt::AlignRight);
    grid->addWidget(lblSyozoku, 4, 1, 1, 2);
    grid->addWidget(lblURLTitle, 5, 0, Qt::AlignRight);
    grid->addWidget(lblURL, 5, 1, 1, 2);
    grid->addWidget(lblMailTitle, 6, 0, Qt::AlignRight);
    grid->addWidget(lblMail, 6, 1, 1, 2);
    grid->addWidget(lblPS, 7, 1, 1, 2);
    grid->addWidget(lblDescription, 8, 0, 1, 3);
    grid->addWidget(separator(this), 9, 0, 1, 3);
    grid->addWidget(lblDisclaimer, 10, 0, 1, 3);
    grid->addWidget(cmdsysinfo, 11, 1, Qt::AlignRight);
    grid->addWidget(cmdOK, 11, 2, Qt::AlignRight);
    grid->setColumnMinimumWidth(2, 200);

    connect(cmdOK, &QPushButton::clicked, this, &frmVer::cmdOk_Click);
    connect(cmdsysinfo, &QPushButton::clicked, this, &frmVer::cmdsysinfo_Click);
}

void frmVer::showModal()
{
    Form_Load();
    exec();
}

void frmVer::Form_Load()
{
    setWindowTitle(applicationTitle() + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    lblVersion->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + PelkoVersionText());
    lblTitle->setText(applicationTitle());
    adjustSize();
    CenterForm(this, QStringLiteral("center"));
}

void frmVer::cmdOk_Click() { accept(); }

void frmVer::cmdsysinfo_Click() { StartSysInfo(); }

void frmVer::StartSysInfo()
{
    // No registry here: the first system-information tool installed is started.
    for (const QString& tool : sysInfoTools) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
    MsgBox(QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
}
