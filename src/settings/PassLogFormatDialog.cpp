#include "PassLogFormatDialog.h"

#include "platform/ControlNames.h"

#include "ChooserArt.h"
#include "PassLogFormatRules.h"
#include "Settings.h"
#include "common/LogFormat.h"
#include "platform/CenterWindow.h"
#include "platform/MessageService.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

PassLogFormatDialog::PassLogFormatDialog(Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("PassLogFormatDialog"));
    setWindowTitle(QStringLiteral("合格ログの形式"));
    setModal(true);

    // Created in tab order: the add button first.
    m_addButton = new QPushButton(QStringLiteral(">>"), this);
    m_addButton->setAccessibleName(QStringLiteral("追加"));
    auto* catalogueBox = new QGroupBox(QStringLiteral("元データ"), this);
    m_catalogueList = new QListWidget(catalogueBox);
    m_removeButton = new QPushButton(QStringLiteral("<<"), this);
    m_removeButton->setAccessibleName(QStringLiteral("削除"));
    auto* chosenBox = new QGroupBox(QStringLiteral("書き出すデータ"), this);
    m_chosenList = new QListWidget(chosenBox);
    m_okButton = ChooserArt::okButton(this);
    m_cancelButton = ChooserArt::cancelButton(this);

    for (QListWidget* list : {m_catalogueList, m_chosenList}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setSortingEnabled(false);
        list->setAccessibleName(list == m_catalogueList ? QStringLiteral("元データ")
                                                        : QStringLiteral("書き出すデータ"));
        const QFontMetrics metrics(list->font());
        list->setMinimumSize(metrics.horizontalAdvance(QStringLiteral("入力速度(文字/分)")) +
                                 metrics.averageCharWidth() * 6,
                             metrics.lineSpacing() * 17);
    }
    (new QVBoxLayout(catalogueBox))->addWidget(m_catalogueList);
    (new QVBoxLayout(chosenBox))->addWidget(m_chosenList);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(m_addButton);
    middle->addWidget(m_removeButton);
    middle->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* grid = new QGridLayout(this);
    grid->addWidget(catalogueBox, 0, 0);
    grid->addLayout(middle, 0, 1);
    grid->addWidget(chosenBox, 0, 2);
    grid->addLayout(buttons, 1, 0, 1, 3);

    setTabOrder(m_addButton, m_catalogueList);
    setTabOrder(m_catalogueList, m_removeButton);
    setTabOrder(m_removeButton, m_chosenList);
    setTabOrder(m_chosenList, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    nameControls({{m_catalogueList, "catalogueList"},
                  {m_chosenList, "chosenList"},
                  {m_addButton, "addButton"},
                  {m_removeButton, "removeButton"},
                  {m_okButton, "okButton"},
                  {m_cancelButton, "cancelButton"}});
    connect(m_addButton, &QPushButton::clicked, this, &PassLogFormatDialog::addSelectedColumn);
    connect(m_removeButton, &QPushButton::clicked, this,
            &PassLogFormatDialog::removeSelectedColumn);
    connect(m_okButton, &QPushButton::clicked, this, &PassLogFormatDialog::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &PassLogFormatDialog::cancel);
    // Double-click moves an entry across, as the arrow buttons do.
    connect(m_catalogueList, &QListWidget::itemActivated, this,
            &PassLogFormatDialog::addSelectedColumn);
    connect(m_chosenList, &QListWidget::itemActivated, this,
            &PassLogFormatDialog::removeSelectedColumn);
}

int PassLogFormatDialog::exec()
{
    prepare();
    return QDialog::exec();
}

void PassLogFormatDialog::prepare()
{
    m_catalogueList->clear();
    m_catalogueList->addItems(PassLogFormatRules::catalogueTitles());
    m_catalogueList->setCurrentRow(0);
    // Room for the whole catalogue without scrolling.
    const int listHeight = m_catalogueList->sizeHintForRow(0) * LogFormat::ColumnCount +
                           2 * m_catalogueList->frameWidth();
    m_catalogueList->setMinimumHeight(listHeight);
    m_chosenList->setMinimumHeight(listHeight);
    m_chosenList->clear();
    m_chosenList->addItems(PassLogFormatRules::titlesOf(m_settings.passLogFormat()));
    m_chosenList->setCurrentRow(-1);
    adjustSize();
    centerWindow(this, QStringLiteral("center"));
    m_addButton->setFocus();
}

QStringList PassLogFormatDialog::chosenTitles() const
{
    QStringList titles;
    for (int i = 0; i < m_chosenList->count(); ++i)
        titles << m_chosenList->item(i)->text();
    return titles;
}

void PassLogFormatDialog::addSelectedColumn()
{
    QListWidgetItem* selected = m_catalogueList->currentItem();
    if (!selected || !selected->isSelected())
        return;
    QStringList titles = chosenTitles();
    if (PassLogFormatRules::addTitle(titles, selected->text())) {
        m_chosenList->addItem(selected->text());
        m_chosenList->setCurrentRow(0);
    }
    const int row = m_catalogueList->currentRow();
    if (row < m_catalogueList->count() - 1)
        m_catalogueList->setCurrentRow(row + 1);
}

void PassLogFormatDialog::removeSelectedColumn()
{
    QListWidgetItem* selected = m_chosenList->currentItem();
    if (m_chosenList->count() == 0 || !selected || !selected->isSelected())
        return;
    const int row = m_chosenList->row(selected);
    delete m_chosenList->takeItem(row);
    m_chosenList->setCurrentRow(PassLogFormatRules::rowAfterRemove(row, m_chosenList->count()));
}

void PassLogFormatDialog::confirm()
{
    const auto outcome = PassLogFormatRules::confirm(m_settings, chosenTitles());
    if (outcome == PassLogFormatRules::Outcome::BlockNotWritten)
        showMessage(PassLogFormatRules::blockFailureText(m_settings), MessageButtons::Ok,
                    QStringLiteral("ログ書き込みエラー"), MessageIcon::Warning);
    done(Accepted);
}

void PassLogFormatDialog::cancel()
{
    done(Rejected);
}
