#include "frmLogStyle.h"

#include "ChooserArt.h"
#include "LogStyleRules.h"
#include "app/CenterForm.h"
#include "app/modPelko.h"
#include "clsKankyo.h"
#include "platform/MessageService.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmLogStyle& frmLogStyle::instance()
{
    static frmLogStyle* form = new frmLogStyle;
    return *form;
}

frmLogStyle::frmLogStyle() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("frmLogStyle"));
    setWindowTitle(QStringLiteral("合格ログの形式"));
    setModal(true);

    // Created in tab order: the add button first.
    cmdAdd = new QPushButton(QStringLiteral(">>"), this);
    cmdAdd->setAccessibleName(QStringLiteral("追加"));
    auto* fraKoumoku = new QGroupBox(QStringLiteral("元データ"), this);
    lstKoumoku = new QListWidget(fraKoumoku);
    cmdRemove = new QPushButton(QStringLiteral("<<"), this);
    cmdRemove->setAccessibleName(QStringLiteral("削除"));
    auto* fraInsert = new QGroupBox(QStringLiteral("書き出すデータ"), this);
    lstInsert = new QListWidget(fraInsert);
    cmdOk = ChooserArt::okButton(this);
    cmdCancel = ChooserArt::cancelButton(this);

    for (QListWidget* list : {lstKoumoku, lstInsert}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setSortingEnabled(false);
        list->setAccessibleName(list == lstKoumoku ? QStringLiteral("元データ")
                                                   : QStringLiteral("書き出すデータ"));
        const QFontMetrics fm(list->font());
        list->setMinimumSize(fm.horizontalAdvance(QStringLiteral("入力速度(文字/分)")) +
                                 fm.averageCharWidth() * 6,
                             fm.lineSpacing() * 17);
    }
    (new QVBoxLayout(fraKoumoku))->addWidget(lstKoumoku);
    (new QVBoxLayout(fraInsert))->addWidget(lstInsert);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(cmdAdd);
    middle->addWidget(cmdRemove);
    middle->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* grid = new QGridLayout(this);
    grid->addWidget(fraKoumoku, 0, 0);
    grid->addLayout(middle, 0, 1);
    grid->addWidget(fraInsert, 0, 2);
    grid->addLayout(buttons, 1, 0, 1, 3);

    setTabOrder(cmdAdd, lstKoumoku);
    setTabOrder(lstKoumoku, cmdRemove);
    setTabOrder(cmdRemove, lstInsert);
    setTabOrder(lstInsert, cmdOk);
    setTabOrder(cmdOk, cmdCancel);

    connect(cmdAdd, &QPushButton::clicked, this, &frmLogStyle::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmLogStyle::cmdRemove_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmLogStyle::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogStyle::cmdCancel_Click);
    // Double-click moves an entry across, as the arrow buttons do.
    connect(lstKoumoku, &QListWidget::itemActivated, this, &frmLogStyle::cmdAdd_Click);
    connect(lstInsert, &QListWidget::itemActivated, this, &frmLogStyle::cmdRemove_Click);
}

int frmLogStyle::showModal()
{
    Form_Load();
    return exec();
}

void frmLogStyle::Form_Load()
{
    lstKoumoku->clear();
    lstKoumoku->addItems(LogStyleRules::catalogueTitles());
    lstKoumoku->setCurrentRow(0);
    // Room for the whole catalogue without scrolling.
    const int rows = lstKoumoku->sizeHintForRow(0) * LogColumnCount + 2 * lstKoumoku->frameWidth();
    lstKoumoku->setMinimumHeight(rows);
    lstInsert->setMinimumHeight(rows);
    lstInsert->clear();
    lstInsert->addItems(LogStyleRules::titlesOf(objKankyo->LogStyle()));
    lstInsert->setCurrentRow(-1);
    adjustSize();
    CenterForm(this, QStringLiteral("center"));
    cmdAdd->setFocus();
}

QStringList frmLogStyle::insertTitles() const
{
    QStringList titles;
    for (int i = 0; i < lstInsert->count(); ++i)
        titles << lstInsert->item(i)->text();
    return titles;
}

void frmLogStyle::cmdAdd_Click()
{
    QListWidgetItem* selected = lstKoumoku->currentItem();
    if (!selected || !selected->isSelected())
        return;
    QStringList titles = insertTitles();
    if (LogStyleRules::addTitle(titles, selected->text())) {
        lstInsert->addItem(selected->text());
        lstInsert->setCurrentRow(0);
    }
    const int row = lstKoumoku->currentRow();
    if (row < lstKoumoku->count() - 1)
        lstKoumoku->setCurrentRow(row + 1);
}

void frmLogStyle::cmdRemove_Click()
{
    QListWidgetItem* selected = lstInsert->currentItem();
    if (lstInsert->count() == 0 || !selected || !selected->isSelected())
        return;
    const int p = lstInsert->row(selected);
    delete lstInsert->takeItem(p);
    lstInsert->setCurrentRow(LogStyleRules::rowAfterRemove(p, lstInsert->count()));
}

void frmLogStyle::cmdOk_Click()
{
    const auto outcome = LogStyleRules::confirm(*objKankyo, insertTitles());
    if (outcome == LogStyleRules::Outcome::BlockNotWritten)
        MsgBox(LogStyleRules::blockFailureText(*objKankyo), MsgButtons::Ok,
               QStringLiteral("ログ書き込みエラー"), MsgIcon::Exclamation);
    done(Accepted);
}

void frmLogStyle::cmdCancel_Click()
{
    done(Rejected);
}
