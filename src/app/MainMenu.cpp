#include "MainMenu.h"

#include "MenuArt.h"
#include "SelfAssessmentDialog.h"
#include "UserEntryDialog.h"
#include "history/ResultsBrowser.h"
#include "platform/CenterWindow.h"
#include "platform/DrawnIcon.h"
#include "platform/FileSystem.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "platform/Printers.h"
#include "problems/Problem.h"
#include "results/RankingWindow.h"
#include "results/RunRecord.h"
#include "settings/FolderDialog.h"
#include "settings/Settings.h"
#include "settings/SettingsDialog.h"
#include "typing/TestWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption,
                        const QIcon& picture)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    QFont font = Fonts::proportional(0);
    font.setPointSize(14);
    button->setFont(font);
    DrawnIcon::makePictureButton(button, picture, caption, 40);
    button->setFixedSize(MainMenu::ButtonWidth, MainMenu::ButtonHeight);
    parent->layout()->addWidget(button);
    return button;
}

} // namespace

MainMenu::MainMenu(Settings& settings, RunRecord& record, TestWindow& testWindow)
    : QWidget(nullptr, Qt::Window), m_settings(settings), m_record(record), m_testWindow(testWindow)
{
    setObjectName(QStringLiteral("MainMenu"));
    setWindowTitle(QStringLiteral("Pelko メインメニュー"));
    // One column of buttons; a switched-off one leaves no gap.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_practiceButton = makeButton(this, QStringLiteral("practiceButton"), QStringLiteral("練習"),
                                  MenuArt::practice());
    m_certificationButton = makeButton(this, QStringLiteral("certificationButton"),
                                       QStringLiteral("認定試験"), MenuArt::certification());
    m_rankingButton = makeButton(this, QStringLiteral("rankingButton"),
                                 QStringLiteral("ランキング"), MenuArt::ranking());
    m_settingsButton = makeButton(this, QStringLiteral("settingsButton"),
                                  QStringLiteral("環境設定"), MenuArt::settings());
    m_quitButton =
        makeButton(this, QStringLiteral("quitButton"), QStringLiteral("終了"), MenuArt::quit());
    setFixedSize(ButtonWidth, 5 * ButtonHeight);

    connect(m_practiceButton, &QPushButton::clicked, this, &MainMenu::startPractice);
    connect(m_certificationButton, &QPushButton::clicked, this, &MainMenu::startCertification);
    connect(m_rankingButton, &QPushButton::clicked, this, &MainMenu::openRanking);
    connect(m_settingsButton, &QPushButton::clicked, this, &MainMenu::openSettings);
    connect(m_quitButton, &QPushButton::clicked, this, &MainMenu::quitProgram);
}

void MainMenu::prepare()
{
    // Every opening starts from the full column; the display switches may have changed.
    const QList<QPushButton*> column{m_practiceButton, m_certificationButton, m_rankingButton,
                                     m_settingsButton, m_quitButton};
    for (QPushButton* button : column)
        button->setVisible(true);
    setFixedSize(ButtonWidth, int(column.size()) * ButtonHeight);
    centerWindow(this, QStringLiteral("center"));
    m_switchesPending = true;
}

void MainMenu::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    hideSwitchedOffButtons();
}

void MainMenu::hideSwitchedOffButtons()
{
    if (!m_switchesPending)
        return;
    if (!m_settings.menuShowsPractice()) {
        m_practiceButton->hide();
        setFixedHeight(height() - ButtonHeight);
    }
    if (!m_settings.menuShowsSettings()) {
        m_settingsButton->hide();
        setFixedHeight(height() - ButtonHeight);
    }
    layout()->activate();
    m_switchesPending = false;
}

void MainMenu::openTestWindow()
{
    // The test window shows itself; when it cannot proceed it stops being ready, hides and
    // brings this window back.
    m_testWindow.open();
    if (!m_testWindow.isReady())
        m_testWindow.hide();
}

bool MainMenu::problemsFoundIn(const QString& configuredFolder)
{
    // Asked before the name entry, so the candidate does not type a name for a run that
    // cannot start. A folder that cannot be entered gets the loader's own message and
    // chooser, the only way out when the settings are hidden, and its boxes when none is
    // picked.
    Problem probe;
    probe.setFolderChooser([this] { return FolderDialog::pick(this); });
    const QString folder = probe.usableFolder(configuredFolder);
    if (folder.isEmpty()) {
        m_testWindow.setReady(false);
        TestWindow::reportUnusableFolder();
        return false;
    }
    const bool chosen = folder != FileSystem::resolveCase(configuredFolder);
    // Too many files counts as found: the loader reports that itself.
    const Expected<QStringList> files = Problem::problemFiles(folder);
    if (files && files->isEmpty()) {
        m_testWindow.setReady(false);
        showMessage(QStringLiteral("例題文のフォルダ「") + (chosen ? folder : configuredFolder) +
                        QStringLiteral("」に例題文（jpn_dat.*）がありません。"
                                       "環境設定の画面で例題文のフォルダを指定してください"),
                    MessageButtons::Ok, QStringLiteral("エラー"), MessageIcon::Critical);
        return false;
    }
    m_testWindow.useChosenFolder(chosen ? folder : QString());
    return true;
}

void MainMenu::startPractice()
{
    if (!problemsFoundIn(m_settings.practiceFolder()))
        return;
    m_record.setCertification(false);
    m_testWindow.setReady(true);
    hide();
    UserEntryDialog(m_record, this).exec();
    openTestWindow();
}

void MainMenu::startCertification()
{
    // A certificate cannot be printed without a printer.
    if (Printers::installedNames().size() <= 0) {
        showMessage(
            QStringLiteral(
                "認定には最低1台のプリンタが必要です。プリンタのインストールを行ってください"),
            MessageButtons::Ok, QStringLiteral("プリンタ数のエラー"));
        return;
    }
    if (!problemsFoundIn(m_settings.certificationFolder()))
        return;
    m_record.setCertification(true);
    m_testWindow.setReady(true);
    hide();
    UserEntryDialog(m_record, this).exec();
    if (m_settings.menuShowsPractice())
        SelfAssessmentDialog(m_record, this).exec();
    openTestWindow();
}

void MainMenu::openRanking()
{
    RankingWindow window(m_settings, this);
    connect(&window, &RankingWindow::resultsBrowserRequested, &window,
            [&] { ResultsBrowser(m_settings, &window).exec(); });
    window.exec();
}

void MainMenu::openSettings()
{
    SettingsDialog dialog(m_settings, this);
    dialog.exec();
}

void MainMenu::quitProgram()
{
    close();
}

void MainMenu::closeEvent(QCloseEvent* event)
{
    event->accept();
    QApplication::quit();
}
