#include "frmTouroku.h"

#include "CenterForm.h"
#include "modPelko.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "results/LogField.h"
#include "results/clsUser.h"
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

frmTouroku& frmTouroku::instance()
{
    static frmTouroku* form = new frmTouroku;
    return *form;
}

frmTouroku::frmTouroku()
{
    setObjectName(QStringLiteral("frmTouroku"));
    setWindowTitle(QStringLiteral("利用者登録"));
    setFont(Fonts::proportional(11));

    lblId = new QLabel(QStringLiteral("利用者ID："), this);
    txtID = new NoInputMethodLineEdit(this);
    txtID->setObjectName(QStringLiteral("txtID"));
    // IDs are plain ASCII: keep the input method out of this box.
    txtID->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtID->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    lblName = new QLabel(QStringLiteral("氏名："), this);
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setAttribute(Qt::WA_InputMethodEnabled, true);
    lblId->setBuddy(txtID);
    lblName->setBuddy(txtName);
    cmdOK = ChooserArt::okButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblId, 0, 0);
    grid->addWidget(txtID, 0, 1);
    grid->addWidget(lblName, 1, 0);
    grid->addWidget(txtName, 1, 1);
    grid->addWidget(cmdOK, 2, 1, Qt::AlignRight);
    grid->setColumnMinimumWidth(1, 220);
    setTabOrder(txtID, txtName);
    setTabOrder(txtName, cmdOK);

    connect(txtID, &QLineEdit::textChanged, this, &frmTouroku::txtID_Change);
    connect(txtName, &QLineEdit::textChanged, this, &frmTouroku::txtName_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmTouroku::cmdOK_Click);
    txtID->installEventFilter(this);
    txtName->installEventFilter(this);
}

void frmTouroku::showModal()
{
    Form_Load();
    exec();
}

void frmTouroku::Form_Load()
{
    objUser->setUserName(QString());
    objUser->setUserID(objUser->PC_UserID());
    txtName->clear();
    txtID->setText(objUser->UserID());
    adjustSize();
    CenterForm(this, QStringLiteral("center"));
}

void frmTouroku::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmTouroku::Form_Activate()
{
    if (!txtID->text().isEmpty())
        txtName->setFocus();
    else
        txtID->setFocus();
}

void frmTouroku::txtID_Change() { objUser->setUserID(txtID->text()); }

void frmTouroku::txtName_Change() { objUser->setUserName(txtName->text()); }

void frmTouroku::txtID_KeyPress(int keyAscii)
{
    txtID_Change();
    if (keyAscii == 13)
        cmdOK_Click();
}

void frmTouroku::txtName_KeyPress(int keyAscii)
{
    txtName_Change();
    if (keyAscii == 13)
        cmdOK_Click();
}

void frmTouroku::cmdOK_Click()
{
    objUser->setUserID(txtID->text());
    objUser->setUserName(txtName->text());
    if (entriesFitTheLog())
        accept();
}

void frmTouroku::reject()
{
    // The caller starts the run after any close, so a value that would break the log must
    // not get through this way either.
    if (entriesFitTheLog())
        QDialog::reject();
}

bool frmTouroku::entriesFitTheLog()
{
    const std::pair<QLineEdit*, QString> boxes[] = {{txtID, QStringLiteral("利用者ID")},
                                                    {txtName, QStringLiteral("氏名")}};
    for (const auto& [box, name] : boxes) {
        const auto unusable = LogField::firstUnusable(box->text());
        if (!unusable)
            continue;
        const bool lineBreak = unusable->character == u"\r" || unusable->character == u"\n";
        const QString shown =
            lineBreak ? QStringLiteral("（改行）")
                      : QStringLiteral("「") + unusable->character + QStringLiteral("」");
        MsgBox(name + QStringLiteral("に使えない文字") + shown +
                   QStringLiteral("が含まれています。カンマ、ダブルクォーテーション、改行と、"
                                  "シフトJISで表せない文字は使えません。"),
               MsgButtons::Ok, QStringLiteral("利用者登録"), MsgIcon::Exclamation);
        box->setFocus();
        box->setSelection(int(unusable->index), int(unusable->character.size()));
        return false;
    }
    return true;
}

bool frmTouroku::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == txtID)
                txtID_KeyPress(13);
            else if (watched == txtName)
                txtName_KeyPress(13);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
