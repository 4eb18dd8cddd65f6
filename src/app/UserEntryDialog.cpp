#include "UserEntryDialog.h"

#include "platform/CenterWindow.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "results/LogField.h"
#include "results/RunRecord.h"
#include "settings/ChooserArt.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

// Qt asks a line edit whether it takes the input method without looking at
// WA_InputMethodEnabled, so ibus and fcitx kept composing in a box that had it off.
class NoInputMethodLineEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override
    {
        if (query == Qt::ImEnabled && !testAttribute(Qt::WA_InputMethodEnabled))
            return false;
        return QLineEdit::inputMethodQuery(query);
    }
};

} // namespace

UserEntryDialog::UserEntryDialog(RunRecord& record, QWidget* parent)
    : QDialog(parent), m_record(record)
{
    setObjectName(QStringLiteral("UserEntryDialog"));
    setWindowTitle(QStringLiteral("利用者登録"));
    setFont(Fonts::proportional(11));

    m_idLabel = new QLabel(QStringLiteral("利用者ID："), this);

    m_idLabel->setObjectName(QStringLiteral("idLabel"));
    m_idEdit = new NoInputMethodLineEdit(this);
    m_idEdit->setObjectName(QStringLiteral("idEdit"));
    // IDs are plain ASCII: keep the input method out of this box.
    m_idEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_idEdit->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    m_idEdit->setMaxLength(MaxIdLength);
    m_nameLabel = new QLabel(QStringLiteral("氏名："), this);
    m_nameLabel->setObjectName(QStringLiteral("nameLabel"));
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_nameEdit->setAttribute(Qt::WA_InputMethodEnabled, true);
    m_nameEdit->setMaxLength(MaxNameLength);
    m_idLabel->setBuddy(m_idEdit);
    m_nameLabel->setBuddy(m_nameEdit);
    m_okButton = ChooserArt::okButton(this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_idLabel, 0, 0);
    grid->addWidget(m_idEdit, 0, 1);
    grid->addWidget(m_nameLabel, 1, 0);
    grid->addWidget(m_nameEdit, 1, 1);
    grid->addWidget(m_okButton, 2, 1, Qt::AlignRight);
    grid->setColumnMinimumWidth(1, 220);
    setTabOrder(m_idEdit, m_nameEdit);
    setTabOrder(m_nameEdit, m_okButton);

    connect(m_idEdit, &QLineEdit::textChanged, this, &UserEntryDialog::copyIdToRecord);
    connect(m_nameEdit, &QLineEdit::textChanged, this, &UserEntryDialog::copyNameToRecord);
    connect(m_okButton, &QPushButton::clicked, this, &UserEntryDialog::confirm);
    m_idEdit->installEventFilter(this);
    m_nameEdit->installEventFilter(this);
}

int UserEntryDialog::exec()
{
    prepare();
    return QDialog::exec();
}

void UserEntryDialog::prepare()
{
    m_record.setUserName(QString());
    m_record.setUserId(m_record.loginName());
    m_nameEdit->clear();
    m_idEdit->setText(m_record.userId());
    adjustSize();
    centerWindow(this, QStringLiteral("center"));
}

void UserEntryDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    focusEntryBox();
}

void UserEntryDialog::focusEntryBox()
{
    if (!m_idEdit->text().isEmpty())
        m_nameEdit->setFocus();
    else
        m_idEdit->setFocus();
}

void UserEntryDialog::copyIdToRecord()
{
    m_record.setUserId(m_idEdit->text());
}

void UserEntryDialog::copyNameToRecord()
{
    m_record.setUserName(m_nameEdit->text());
}

void UserEntryDialog::confirmFromIdBox()
{
    copyIdToRecord();
    confirm();
}

void UserEntryDialog::confirmFromNameBox()
{
    copyNameToRecord();
    confirm();
}

void UserEntryDialog::confirm()
{
    m_record.setUserId(m_idEdit->text());
    m_record.setUserName(m_nameEdit->text());
    if (entriesFitTheLog())
        accept();
}

void UserEntryDialog::reject()
{
    // The caller starts the run after any close, so a value that would break the log must
    // not get through this way either.
    if (entriesFitTheLog())
        QDialog::reject();
}

bool UserEntryDialog::entriesFitTheLog()
{
    const std::pair<QLineEdit*, QString> boxes[] = {{m_idEdit, QStringLiteral("利用者ID")},
                                                    {m_nameEdit, QStringLiteral("氏名")}};
    for (const auto& [box, name] : boxes) {
        const auto unusable = LogField::firstUnusable(box->text());
        if (!unusable)
            continue;
        const bool lineBreak = unusable->character == u"\r" || unusable->character == u"\n";
        const QString shown =
            lineBreak ? QStringLiteral("（改行）")
                      : QStringLiteral("「") + unusable->character + QStringLiteral("」");
        showMessage(name + QStringLiteral("に使えない文字") + shown +
                        QStringLiteral("が含まれています。カンマ、ダブルクォーテーション、改行と、"
                                       "シフトJISで表せない文字は使えません。"),
                    MessageButtons::Ok, QStringLiteral("利用者登録"), MessageIcon::Warning);
        box->setFocus();
        box->setSelection(int(unusable->index), int(unusable->character.size()));
        return false;
    }
    return true;
}

bool UserEntryDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter) {
            if (watched == m_idEdit)
                confirmFromIdBox();
            else if (watched == m_nameEdit)
                confirmFromNameBox();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
