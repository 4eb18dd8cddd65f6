#include "SplashScreen.h"

#include "PelkoVersion.h"
#include "platform/CenterWindow.h"
#include "platform/MessageService.h"
#include "platform/PelkoArt.h"
#include "platform/ProgramEnd.h"
#include "settings/Settings.h"

#include <QGridLayout>
#include <QLabel>
#include <QTimer>

SplashScreen::SplashScreen(Settings& settings)
    : QDialog(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), m_settings(settings)
{
    setObjectName(QStringLiteral("SplashScreen"));
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(grey);

    m_logoLabel = new QLabel(this);

    m_logoLabel->setPixmap(logoPixmap(96, devicePixelRatioF()));
    m_logoLabel->setAccessibleName(QStringLiteral("Pelko"));

    m_titleLabel = new QLabel(QStringLiteral("日本語入力速度測定ソフト"), this);

    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    QFont titleFont(QStringLiteral("IPAPGothic"));
    titleFont.setPointSize(20);
    titleFont.setBold(true);
    m_titleLabel->setFont(titleFont);

    m_versionCaptionLabel = new QLabel(QStringLiteral("ver"), this);

    m_versionLabel = new QLabel(QStringLiteral("0.0.0"), this);
    m_versionLabel->setObjectName(QStringLiteral("versionLabel"));
    auto* noteLabel = new QLabel(QStringLiteral("起動しています…"), this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(28, 24, 28, 20);
    grid->setHorizontalSpacing(16);
    grid->addWidget(m_logoLabel, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(m_titleLabel, 0, 1, 1, 3);
    grid->addWidget(m_versionCaptionLabel, 1, 2, Qt::AlignRight);
    grid->addWidget(m_versionLabel, 1, 3, Qt::AlignLeft);
    grid->addWidget(noteLabel, 2, 1, 1, 3);

    m_closeTimer = new QTimer(this);

    m_closeTimer->setInterval(2000);
    connect(m_closeTimer, &QTimer::timeout, this, &SplashScreen::closeIfLoaded);
}

int SplashScreen::exec()
{
    prepare();
    m_closeTimer->start();
    const int result = QDialog::exec();
    m_closeTimer->stop();
    return result;
}

void SplashScreen::prepare()
{
    m_loadQueued = false;
    adjustSize();
    centerWindow(this, QStringLiteral("center"));
    m_versionLabel->setText(versionText());
}

void SplashScreen::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Loaded from the event loop, so the splash is on screen while the settings load.
    if (!m_loadQueued) {
        m_loadQueued = true;
        QMetaObject::invokeMethod(this, &SplashScreen::loadSettings, Qt::QueuedConnection);
    }
}

void SplashScreen::loadSettings()
{
    m_settings.load();
    if (m_settings.isLoaded())
        return;
    showMessage(QStringLiteral("INIファイルの取得に失敗しました！"), MessageButtons::Ok,
                QStringLiteral("INIエラー"), MessageIcon::Critical);
    m_closeTimer->stop();
    endProgram(1);
}

void SplashScreen::closeIfLoaded()
{
    if (m_settings.isLoaded())
        accept();
}
