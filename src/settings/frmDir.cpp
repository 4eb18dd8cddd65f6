#include "frmDir.h"

#include "ChooserArt.h"
#include "VolumeList.h"
#include "app/CenterForm.h"
#include "app/modPelko.h"
#include "platform/AppPaths.h"
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

frmDir& frmDir::instance()
{
    static frmDir* form = new frmDir;
    return *form;
}

frmDir::frmDir() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("frmDir"));
    setWindowTitle(QStringLiteral("ディレクトリ参照"));
    setModal(true);

    txtDir = new QLineEdit(this);
    txtDir->setAccessibleName(QStringLiteral("フォルダ"));
    drvRefer = new QComboBox(this);
    drvRefer->setAccessibleName(QStringLiteral("ドライブ"));
    dirRefer = new QListWidget(this);
    dirRefer->setAccessibleName(QStringLiteral("フォルダ一覧"));
    dirRefer->setSelectionMode(QAbstractItemView::SingleSelection);
    cmdOk = ChooserArt::okButton(this);
    cmdCancel = ChooserArt::cancelButton(this);

    const QFontMetrics fm(font());
    txtDir->setMinimumWidth(fm.averageCharWidth() * 40);
    dirRefer->setMinimumSize(fm.averageCharWidth() * 40, fm.lineSpacing() * 12);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* grid = new QGridLayout(this);
    grid->addWidget(txtDir, 0, 0);
    grid->addWidget(drvRefer, 1, 0);
    grid->addWidget(dirRefer, 2, 0);
    grid->addLayout(buttons, 3, 0);
    grid->setRowStretch(2, 1);

    connect(drvRefer, &QComboBox::activated, this, &frmDir::drvRefer_Change);
    connect(dirRefer, &QListWidget::itemActivated, this, &frmDir::dirRefer_ItemActivated);
    connect(txtDir, &QLineEdit::returnPressed, this, [this] { txtDir_KeyPress(13); });
    connect(cmdOk, &QPushButton::clicked, this, &frmDir::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDir::cmdCancel_Click);
}

int frmDir::showModal()
{
    Form_Load();
    return exec();
}

void frmDir::Form_Load()
{
    m_callerDirPath = DirPath;
    m_drive.clear();
    m_listPath.clear();
    dirRefer->clear();
    fillDrives();
    adjustSize();
    CenterForm(this, QStringLiteral("center"));
    ShowDirPath();
    txtDir->setFocus();
}

void frmDir::ShowDirPath()
{
    txtDir->setText(DirPath);
    // No folder given: start where the program stands, as an unset drive would.
    QString drive =
        VolumeList::driveOf(DirPath.isEmpty() ? QDir::currentPath() : DirPath, m_drives);
    if (drive.isEmpty()) {
        MsgBox(DirPath + QStringLiteral("は正しくありません。デフォルト値を使用します"),
               MsgButtons::Ok, QStringLiteral("ドライブエラー"));
        DirPath = FileSystem::withTrailingSlash(
            FileSystem::joinPath(AppPaths::applicationFolder(), QStringLiteral("data")));
        txtDir->setText(DirPath);
        drive = VolumeList::driveOf(DirPath, m_drives);
        if (drive.isEmpty())
            return;
    }
    selectDrive(drive);
    const QString folder = FileSystem::resolveCase(DirPath);
    if (!DirPath.isEmpty() && QFileInfo(folder).isDir()) {
        // A folder that exists but cannot be listed leaves the lists where they are.
        moveList(folder);
        return;
    }
    DirPath = drive;
    moveList(currentFolderOn(drive));
}

void frmDir::fillDrives()
{
    m_drives = VolumeList::driveRoots();
    const QSignalBlocker block(drvRefer);
    drvRefer->clear();
    for (const QString& root : m_drives)
        drvRefer->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), root, root);
}

void frmDir::selectDrive(const QString& root)
{
    const QSignalBlocker block(drvRefer);
    const int index = drvRefer->findData(root);
    if (index >= 0) {
        drvRefer->setCurrentIndex(index);
        m_drive = root;
    }
}

QString frmDir::currentFolderOn(const QString& drive) const
{
    const QString here = QDir::currentPath();
    return VolumeList::driveOf(here, m_drives) == drive ? here : drive;
}

bool frmDir::moveList(const QString& path)
{
    if (!FileSystem::canEnterFolder(path))
        return false;
    m_listPath = VolumeList::listForm(path);

    dirRefer->clear();
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    if (m_listPath != u"/") {
        auto* up = new QListWidgetItem(style()->standardIcon(QStyle::SP_FileDialogToParent),
                                       QStringLiteral(".."), dirRefer);
        up->setData(PathRole, VolumeList::listForm(m_listPath + QStringLiteral("/..")));
    }
    const QFileInfoList entries =
        QDir(m_listPath)
            .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                           QDir::Name | QDir::IgnoreCase);
    // Hidden folders after the others, yet still reachable (the logs default to one).
    for (const bool hidden : {false, true}) {
        for (const QFileInfo& entry : entries) {
            if (entry.fileName().startsWith(u'.') != hidden)
                continue;
            auto* item = new QListWidgetItem(folderIcon, entry.fileName(), dirRefer);
            item->setData(PathRole, FileSystem::joinPath(m_listPath, entry.fileName()));
        }
    }
    if (dirRefer->count() > 0)
        dirRefer->setCurrentRow(0);

    selectDrive(VolumeList::driveOf(m_listPath, m_drives));
    dirRefer_Change();
    return true;
}

void frmDir::drvRefer_Change()
{
    const QString root = drvRefer->currentData().toString();
    if (root == m_drive)
        return;
    const QString previous = m_drive;
    if (!moveList(currentFolderOn(root)))
        selectDrive(previous);
}

void frmDir::dirRefer_Change()
{
    txtDir->setText(m_listPath);
}

void frmDir::dirRefer_Enter(const QString& path)
{
    moveList(path);
}

void frmDir::dirRefer_ItemActivated(QListWidgetItem* item)
{
    if (item)
        dirRefer_Enter(item->data(PathRole).toString());
}

void frmDir::txtDir_KeyPress(int KeyAscii)
{
    if (KeyAscii != 13)
        return;
    DirPath = txtDir->text();
    ShowDirPath();
}

void frmDir::cmdOk_Click()
{
    DirPath = txtDir->text();
    done(Accepted);
}

void frmDir::cmdCancel_Click()
{
    DirPath.clear();
    done(Rejected);
}

void frmDir::reject()
{
    DirPath = m_callerDirPath;
    QDialog::reject();
}

void frmDir::keyPressEvent(QKeyEvent* event)
{
    if (!DialogKeys::handle(this, event, [this] { cmdCancel_Click(); }))
        QDialog::keyPressEvent(event);
}
