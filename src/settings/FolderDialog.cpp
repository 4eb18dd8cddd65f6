#include "FolderDialog.h"

#include "platform/ControlNames.h"

#include "ChooserArt.h"
#include "IniFile.h"
#include "SettingsRules.h"
#include "VolumeList.h"
#include "platform/AppPaths.h"
#include "platform/CenterWindow.h"
#include "platform/DialogKeys.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

namespace
{
constexpr int PathRole = Qt::UserRole;
}

FolderDialog::FolderDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FolderDialog"));
    setWindowTitle(QStringLiteral("ディレクトリ参照"));
    setModal(true);

    m_folderEdit = new QLineEdit(this);
    m_folderEdit->setAccessibleName(QStringLiteral("フォルダ"));
    m_driveBox = new QComboBox(this);
    m_driveBox->setAccessibleName(QStringLiteral("ドライブ"));
    m_folderList = new QListWidget(this);
    m_folderList->setAccessibleName(QStringLiteral("フォルダ一覧"));
    m_folderList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_okButton = ChooserArt::okButton(this);
    m_cancelButton = ChooserArt::cancelButton(this);

    const QFontMetrics metrics(font());
    m_folderEdit->setMinimumWidth(metrics.averageCharWidth() * 40);
    m_folderList->setMinimumSize(metrics.averageCharWidth() * 40, metrics.lineSpacing() * 12);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_folderEdit, 0, 0);
    grid->addWidget(m_driveBox, 1, 0);
    grid->addWidget(m_folderList, 2, 0);
    grid->addLayout(buttons, 3, 0);
    grid->setRowStretch(2, 1);

    nameControls({{m_driveBox, "driveBox"},
                  {m_folderList, "folderList"},
                  {m_folderEdit, "folderEdit"},
                  {m_okButton, "okButton"},
                  {m_cancelButton, "cancelButton"}});
    connect(m_driveBox, &QComboBox::activated, this, &FolderDialog::changeDrive);
    connect(m_folderList, &QListWidget::itemActivated, this, &FolderDialog::enterItem);
    connect(m_folderEdit, &QLineEdit::returnPressed, this, &FolderDialog::showTypedFolder);
    connect(m_okButton, &QPushButton::clicked, this, &FolderDialog::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &FolderDialog::cancel);
}

int FolderDialog::exec()
{
    prepare();
    return QDialog::exec();
}

QString FolderDialog::pick(QWidget* parent)
{
    FolderDialog dialog(parent);
    return dialog.exec() == QDialog::Accepted ? dialog.folder() : QString();
}

void FolderDialog::prepare()
{
    m_callerFolder = m_folder;
    m_drive.clear();
    m_listedFolder.clear();
    m_folderList->clear();
    fillDrives();
    adjustSize();
    centerWindow(this, QStringLiteral("center"));
    showFolder();
    m_folderEdit->setFocus();
}

void FolderDialog::showFolder()
{
    m_folderEdit->setText(m_folder);
    // No folder given: start in the current folder.
    QString drive =
        VolumeList::driveOf(m_folder.isEmpty() ? QDir::currentPath() : m_folder, m_drives);
    if (drive.isEmpty()) {
        showMessage(m_folder + QStringLiteral("は正しくありません。デフォルト値を使用します"),
                    MessageButtons::Ok, QStringLiteral("ドライブエラー"));
        m_folder = FileSystem::withTrailingSlash(
            FileSystem::joinPath(AppPaths::dataFolder(), QStringLiteral("data")));
        m_folderEdit->setText(m_folder);
        drive = VolumeList::driveOf(m_folder, m_drives);
        if (drive.isEmpty())
            return;
    }
    selectDrive(drive);
    const QString folder = FileSystem::resolveCase(m_folder);
    if (!m_folder.isEmpty() && QFileInfo(folder).isDir()) {
        // A folder that exists but cannot be listed leaves the lists where they are.
        openFolder(folder);
        return;
    }
    m_folder = drive;
    openFolder(currentFolderOn(drive));
}

void FolderDialog::fillDrives()
{
    m_drives = VolumeList::driveRoots();
    const QSignalBlocker block(m_driveBox);
    m_driveBox->clear();
    for (const QString& root : m_drives)
        m_driveBox->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), root, root);
}

void FolderDialog::selectDrive(const QString& root)
{
    const QSignalBlocker block(m_driveBox);
    const int index = m_driveBox->findData(root);
    if (index >= 0) {
        m_driveBox->setCurrentIndex(index);
        m_drive = root;
    }
}

QString FolderDialog::currentFolderOn(const QString& drive) const
{
    const QString here = QDir::currentPath();
    return VolumeList::driveOf(here, m_drives) == drive ? here : drive;
}

bool FolderDialog::openFolder(const QString& path)
{
    if (!FileSystem::canEnterFolder(path))
        return false;
    m_listedFolder = VolumeList::listForm(path);

    m_folderList->clear();
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    if (m_listedFolder != u"/") {
        auto* parentItem = new QListWidgetItem(style()->standardIcon(QStyle::SP_FileDialogToParent),
                                               QStringLiteral(".."), m_folderList);
        parentItem->setData(PathRole, VolumeList::listForm(m_listedFolder + QStringLiteral("/..")));
    }
    const QFileInfoList entries =
        QDir(m_listedFolder)
            .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                           QDir::Name | QDir::IgnoreCase);
    // Hidden folders after the others, yet still reachable (the logs default to one).
    for (const bool hidden : {false, true}) {
        for (const QFileInfo& entry : entries) {
            if (entry.fileName().startsWith(u'.') != hidden)
                continue;
            auto* item = new QListWidgetItem(folderIcon, entry.fileName(), m_folderList);
            item->setData(PathRole, FileSystem::joinPath(m_listedFolder, entry.fileName()));
        }
    }
    if (m_folderList->count() > 0)
        m_folderList->setCurrentRow(0);

    selectDrive(VolumeList::driveOf(m_listedFolder, m_drives));
    showListedFolder();
    return true;
}

void FolderDialog::changeDrive()
{
    const QString root = m_driveBox->currentData().toString();
    if (root == m_drive)
        return;
    const QString previous = m_drive;
    if (!openFolder(currentFolderOn(root)))
        selectDrive(previous);
}

void FolderDialog::showListedFolder()
{
    m_folderEdit->setText(m_listedFolder);
}

void FolderDialog::enterFolder(const QString& path)
{
    openFolder(path);
}

void FolderDialog::enterItem(QListWidgetItem* item)
{
    if (item)
        enterFolder(item->data(PathRole).toString());
}

void FolderDialog::showTypedFolder()
{
    m_folder = m_folderEdit->text();
    showFolder();
}

void FolderDialog::confirm()
{
    if (!IniFile::readsBackWhole(m_folderEdit->text())) {
        SettingsRules::reportTooLong(QStringLiteral("フォルダのパス"));
        return;
    }
    m_folder = m_folderEdit->text();
    done(Accepted);
}

void FolderDialog::cancel()
{
    m_folder.clear();
    done(Rejected);
}

void FolderDialog::reject()
{
    m_folder = m_callerFolder;
    QDialog::reject();
}

void FolderDialog::keyPressEvent(QKeyEvent* event)
{
    if (!DialogKeys::handle(this, event, [this] { cancel(); }))
        QDialog::keyPressEvent(event);
}
