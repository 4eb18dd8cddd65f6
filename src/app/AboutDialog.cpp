#include "AboutDialog.h"

#include "PelkoVersion.h"
#include "platform/CenterWindow.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "platform/PelkoArt.h"
#include "settings/ChooserArt.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

namespace
{

QFrame* separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent), m_systemInfoTools{QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                                         QStringLiteral("kinfocenter"),
                                         QStringLiteral("gnome-system-monitor")}
{
    setObjectName(QStringLiteral("AboutDialog"));
    setFont(Fonts::proportional(10));

    m_logoLabel = new QLabel(this);

    m_logoLabel->setPixmap(logoPixmap(85, devicePixelRatioF()));
    m_titleLabel = new QLabel(this);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    QFont titleFont = Fonts::proportional(18);
    titleFont.setBold(true);
    m_titleLabel->setFont(titleFont);
    m_versionLabel = new QLabel(this);
    m_versionLabel->setObjectName(QStringLiteral("versionLabel"));

    m_makerCaptionLabel = new QLabel(QStringLiteral("製作者 :"), this);

    m_makerLabel = new QLabel(QStringLiteral("Pelko 開発チーム"), this);
    m_affiliationCaptionLabel = new QLabel(QStringLiteral("所属 :"), this);
    m_affiliationLabel = new QLabel(QStringLiteral("日本語入力教育ソフトウェア研究会"), this);
    m_supportCaptionLabel = new QLabel(QStringLiteral("サポートページ"), this);
    m_supportLabel =
        new QLabel(QStringLiteral("同梱のヘルプ（ヘルプ → 目次）をご覧ください"), this);
    m_mailCaptionLabel = new QLabel(QStringLiteral("電子メールアドレス :"), this);
    m_mailLabel = new QLabel(QStringLiteral("support@pelko.invalid"), this);
    m_postscriptLabel = new QLabel(QStringLiteral("質問等は上記メールアドレスまで。"), this);
    m_descriptionLabel = new QLabel(
        QStringLiteral("日本語入力（IME）の速さと正確さを測り、練習と認定に使うソフトです。"
                       "入力速度（文字/分）と正打率を記録し、認定に合格すると認定証を印刷します。"),
        this);
    m_descriptionLabel->setWordWrap(true);
    m_disclaimerLabel = new QLabel(
        QStringLiteral(
            "本ソフトの使用によって生じたいかなる損害についても、製作者は責任を負いません。"
            "測定結果は練習と学習の目安としてお使いください。"),
        this);
    m_disclaimerLabel->setWordWrap(true);

    m_systemInfoButton = new QPushButton(QStringLiteral("システム情報"), this);

    m_okButton = ChooserArt::okButton(this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_logoLabel, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(m_titleLabel, 0, 1, 1, 2);
    grid->addWidget(m_versionLabel, 1, 1, 1, 2);
    grid->addWidget(separator(this), 2, 0, 1, 3);
    grid->addWidget(m_makerCaptionLabel, 3, 0, Qt::AlignRight);
    grid->addWidget(m_makerLabel, 3, 1, 1, 2);
    grid->addWidget(m_affiliationCaptionLabel, 4, 0, Qt::AlignRight);
    grid->addWidget(m_affiliationLabel, 4, 1, 1, 2);
    grid->addWidget(m_supportCaptionLabel, 5, 0, Qt::AlignRight);
    grid->addWidget(m_supportLabel, 5, 1, 1, 2);
    grid->addWidget(m_mailCaptionLabel, 6, 0, Qt::AlignRight);
    grid->addWidget(m_mailLabel, 6, 1, 1, 2);
    grid->addWidget(m_postscriptLabel, 7, 1, 1, 2);
    grid->addWidget(m_descriptionLabel, 8, 0, 1, 3);
    grid->addWidget(separator(this), 9, 0, 1, 3);
    grid->addWidget(m_disclaimerLabel, 10, 0, 1, 3);
    grid->addWidget(m_systemInfoButton, 11, 1, Qt::AlignRight);
    grid->addWidget(m_okButton, 11, 2, Qt::AlignRight);
    grid->setColumnMinimumWidth(2, 200);

    connect(m_okButton, &QPushButton::clicked, this, &AboutDialog::dismiss);
    connect(m_systemInfoButton, &QPushButton::clicked, this, &AboutDialog::showSystemInfo);
}

int AboutDialog::exec()
{
    prepare();
    return QDialog::exec();
}

void AboutDialog::prepare()
{
    setWindowTitle(applicationTitle() + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    m_versionLabel->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + versionText());
    m_titleLabel->setText(applicationTitle());
    adjustSize();
    centerWindow(this, QStringLiteral("center"));
}

void AboutDialog::dismiss()
{
    accept();
}

void AboutDialog::showSystemInfo()
{
    startSystemInfoTool();
}

void AboutDialog::startSystemInfoTool()
{
    for (const QString& tool : m_systemInfoTools) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
    showMessage(QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
}
