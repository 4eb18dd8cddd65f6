#include "LogFileDialog.h"

#include "platform/ControlNames.h"

#include "ChooserArt.h"
#include "IniFile.h"
#include "LogFileCheck.h"
#include "SettingsRules.h"
#include "platform/CenterWindow.h"
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

LogFileDialog::LogFileDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LogFileDialog"));
    setWindowTitle(QStringLiteral("ファイル参照"));
    setModal(true);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setAccessibleName(QStringLiteral("ファイル名"));
    m_fileList = new QListWidget(this);
    m_fileList->setAccessibleName(QStringLiteral("ファイル一覧"));
    m_fileList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_okButton = ChooserArt::okButton(this);
    m_cancelButton = ChooserArt::cancelButton(this);

    const QFontMetrics metrics(font());
    m_nameEdit->setMinimumWidth(metrics.averageCharWidth() * 32);
    m_fileList->setMinimumSize(metrics.averageCharWidth() * 32, metrics.lineSpacing() * 10);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_nameEdit);
    column->addWidget(m_fileList, 1);
    column->addLayout(buttons);

    nameControls({{m_nameEdit, "nameEdit"},
                  {m_fileList, "fileList"},
                  {m_okButton, "okButton"},
                  {m_cancelButton, "cancelButton"}});
    connect(m_fileList, &QListWidget::itemClicked, this, &LogFileDialog::takeSelectedName);
    connect(m_fileList, &QListWidget::currentRowChanged, this, [this] {
        // Moving through the list with the keys picks the name as a click does.
        if (m_fileList->hasFocus())
            takeSelectedName();
    });
    connect(m_fileList, &QListWidget::itemActivated, this, &LogFileDialog::chooseSelectedName);
    connect(m_nameEdit, &QLineEdit::returnPressed, this, &LogFileDialog::completeTypedName);
    connect(m_okButton, &QPushButton::clicked, this, &LogFileDialog::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &LogFileDialog::cancel);
}

int LogFileDialog::exec()
{
    prepare();
    return QDialog::exec();
}

void LogFileDialog::prepare()
{
    m_callerFolder = m_folder;
    m_callerFileName = m_fileName;
    adjustSize();
    centerWindow(this, QStringLiteral("center"));
    fillFiles();
    m_nameEdit->setText(m_fileName);
    m_nameEdit->setFocus();
}

void LogFileDialog::fillFiles()
{
    m_fileList->clear();
    if (m_folder.isEmpty())
        return;
    // A folder that does not exist simply lists nothing; the name box stays usable.
    const QDir folder(FileSystem::resolveCase(m_folder));
    const QStringList names =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    m_fileList->addItems(names);
}

void LogFileDialog::takeSelectedName()
{
    if (QListWidgetItem* item = m_fileList->currentItem())
        m_nameEdit->setText(item->text());
}

void LogFileDialog::chooseSelectedName()
{
    takeSelectedName();
    confirm();
}

QString LogFileDialog::withLogExtension(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || QFileInfo(trimmed).fileName().contains(u'.'))
        return name;
    return trimmed + QStringLiteral(".log");
}

void LogFileDialog::completeTypedName()
{
    m_nameEdit->setText(withLogExtension(m_nameEdit->text()));
}

void LogFileDialog::confirm()
{
    if (!IniFile::readsBackWhole(m_nameEdit->text())) {
        SettingsRules::reportTooLong(QStringLiteral("ログファイルの名前"));
        return;
    }
    if (!LogFileCheck::isAcceptable(m_folder, m_nameEdit->text())) {
        showMessage(QStringLiteral("指定したログファイルは不正です。別の名前に変更してください"),
                    MessageButtons::Ok);
        return;
    }
    m_fileName = m_nameEdit->text();
    done(Accepted);
}

void LogFileDialog::cancel()
{
    m_fileName.clear();
    m_folder.clear();
    done(Rejected);
}

void LogFileDialog::reject()
{
    m_folder = m_callerFolder;
    m_fileName = m_callerFileName;
    QDialog::reject();
}

void LogFileDialog::keyPressEvent(QKeyEvent* event)
{
    if (!DialogKeys::handle(this, event, [this] { cancel(); }))
        QDialog::keyPressEvent(event);
}
