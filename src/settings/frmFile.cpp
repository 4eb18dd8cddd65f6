#include "frmFile.h"

#include "ChooserArt.h"
#include "LogFileCheck.h"
#include "app/CenterForm.h"
#include "app/modPelko.h"
#include "platform/DialogKeys.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmFile& frmFile::instance()
{
    static frmFile* form = new frmFile;
    return *form;
}

frmFile::frmFile() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("frmFile"));
    setWindowTitle(QStringLiteral("ファイル参照"));
    setModal(true);

    txtFileName = new QLineEdit(this);
    txtFileName->setAccessibleName(QStringLiteral("ファイル名"));
    filList = new QListWidget(this);
    filList->setAccessibleName(QStringLiteral("ファイル一覧"));
    filList->setSelectionMode(QAbstractItemView::SingleSelection);
    cmdOk = ChooserArt::okButton(this);
    cmdCancel = ChooserArt::cancelButton(this);

    const QFontMetrics fm(font());
    txtFileName->setMinimumWidth(fm.averageCharWidth() * 32);
    filList->setMinimumSize(fm.averageCharWidth() * 32, fm.lineSpacing() * 10);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(txtFileName);
    column->addWidget(filList, 1);
    column->addLayout(buttons);

    connect(filList, &QListWidget::itemClicked, this, &frmFile::filList_Click);
    connect(filList, &QListWidget::currentRowChanged, this, [this] {
        // Moving through the list with the keys picks the name as a click does.
        if (filList->hasFocus())
            filList_Click();
    });
    connect(filList, &QListWidget::itemActivated, this, &frmFile::filList_DblClick);
    connect(txtFileName, &QLineEdit::returnPressed, this, [this] { txtFileName_KeyPress(13); });
    connect(cmdOk, &QPushButton::clicked, this, &frmFile::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFile::cmdCancel_Click);
}

int frmFile::showModal()
{
    Form_Load();
    return exec();
}

void frmFile::Form_Load()
{
    m_callerDirPath = DirPath;
    m_callerFileName = FileName;
    adjustSize();
    CenterForm(this, QStringLiteral("center"));
    fillFiles();
    txtFileName->setText(FileName);
    txtFileName->setFocus();
}

void frmFile::fillFiles()
{
    filList->clear();
    if (DirPath.isEmpty())
        return;
    // A folder that does not exist simply lists nothing; the name box stays usable.
    const QDir folder(FileSystem::resolveCase(DirPath));
    const QStringList names =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    filList->addItems(names);
}

void frmFile::filList_Click()
{
    if (QListWidgetItem* item = filList->currentItem())
        txtFileName->setText(item->text());
}

void frmFile::filList_DblClick()
{
    filList_Click();
    cmdOk_Click();
}

QString frmFile::withLogExtension(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || QFileInfo(trimmed).fileName().contains(u'.'))
        return name;
    return trimmed + QStringLiteral(".log");
}

void frmFile::txtFileName_KeyPress(int KeyAscii)
{
    if (KeyAscii != 13)
        return;
    txtFileName->setText(withLogExtension(txtFileName->text()));
}

void frmFile::cmdOk_Click()
{
    if (!LogFileCheck::isAcceptable(DirPath, txtFileName->text())) {
        MsgBox(QStringLiteral("指定したログファイルは不正です。別の名前に変更してください"),
               MsgButtons::Ok);
        return;
    }
    FileName = txtFileName->text();
    done(Accepted);
}

void frmFile::cmdCancel_Click()
{
    FileName.clear();
    DirPath.clear();
    done(Rejected);
}

void frmFile::reject()
{
    DirPath = m_callerDirPath;
    FileName = m_callerFileName;
    QDialog::reject();
}

void frmFile::keyPressEvent(QKeyEvent* event)
{
    if (!DialogKeys::handle(this, event, [this] { cmdCancel_Click(); }))
        QDialog::keyPressEvent(event);
}
