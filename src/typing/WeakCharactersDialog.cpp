#include "WeakCharactersDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QString quoted(const QString& text)
{
    return u'「' + text + u'」';
}

QLabel* cell(QGridLayout* grid, int row, int column, const QString& text,
             Qt::Alignment align = Qt::AlignLeft)
{
    auto* label = new QLabel(text);
    label->setAlignment(align | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    grid->addWidget(label, row, column);
    return label;
}

QGroupBox* missedBox(const RunReview::Review& review)
{
    auto* box = new QGroupBox(QStringLiteral("間違えた文字（多い順）"));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(16);
    if (review.missed.isEmpty()) {
        cell(grid, 0, 0, QStringLiteral("この回は間違いがありませんでした。"));
        return box;
    }
    cell(grid, 0, 0, QStringLiteral("間違い"));
    cell(grid, 0, 1, QStringLiteral("種類"));
    cell(grid, 0, 2, QStringLiteral("回数"), Qt::AlignRight);
    int row = 1;
    for (const RunReview::Missed& missed : review.missed) {
        cell(grid, row, 0, WeakCharactersDialog::missText(missed));
        cell(grid, row, 1, RunReview::className(missed.charClass));
        cell(grid, row, 2, QString::number(missed.count), Qt::AlignRight);
        ++row;
    }
    grid->setColumnStretch(0, 1);
    return box;
}

QGroupBox* slowestBox(const RunReview::Review& review)
{
    auto* box = new QGroupBox(QStringLiteral("時間のかかった文字"));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(16);
    if (review.slowest.isEmpty()) {
        cell(grid, 0, 0, QStringLiteral("入力できた文字がありません。"));
        return box;
    }
    int row = 0;
    for (const RunReview::Slow& slow : review.slowest) {
        cell(grid, row, 0, quoted(RunReview::shown(slow.character)));
        cell(grid, row, 1, QString::number(slow.line) + QStringLiteral("行目"));
        cell(grid, row, 2, QString::number(double(slow.ms) / 1000.0, 'f', 1) + QStringLiteral("秒"),
             Qt::AlignRight);
        ++row;
    }
    grid->setColumnStretch(0, 1);
    return box;
}

} // namespace

QString WeakCharactersDialog::missText(const RunReview::Missed& missed)
{
    QString typed;
    for (const QString& piece : missed.typedInstead)
        typed += quoted(RunReview::shown(piece));
    return quoted(RunReview::shown(missed.expected)) + u'→' + typed;
}

QString WeakCharactersDialog::ratioText(qint32 strokes, qint32 characters)
{
    if (characters == 0)
        return QStringLiteral("－");
    return QString::number(RunReview::ratio(strokes, characters), 'f', 2);
}

WeakCharactersDialog::WeakCharactersDialog(const RunReview::Review& review, bool offerDrill,
                                           QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("WeakCharactersDialog"));
    setWindowTitle(QStringLiteral("苦手な文字"));

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(missedBox(review), 3);
    top->addWidget(slowestBox(review), 2);
    layout->addLayout(top);

    auto* strokesBox = new QGroupBox(QStringLiteral("打鍵効率"));
    auto* grid = new QGridLayout(strokesBox);
    grid->setHorizontalSpacing(16);
    cell(grid, 0, 0, QStringLiteral("種類"));
    cell(grid, 0, 1, QStringLiteral("文字数"), Qt::AlignRight);
    cell(grid, 0, 2, QStringLiteral("打鍵数"), Qt::AlignRight);
    cell(grid, 0, 3, QStringLiteral("打鍵／文字"), Qt::AlignRight);
    int row = 1;
    for (const RunReview::Strokes& entry : review.byClass) {
        cell(grid, row, 0, RunReview::className(entry.charClass));
        cell(grid, row, 1, QString::number(entry.characters), Qt::AlignRight);
        cell(grid, row, 2, QString::number(entry.strokes), Qt::AlignRight);
        cell(grid, row, 3, ratioText(entry.strokes, entry.characters), Qt::AlignRight);
        ++row;
    }
    cell(grid, row, 0, QStringLiteral("全体"));
    cell(grid, row, 1, QString::number(review.characters), Qt::AlignRight);
    cell(grid, row, 2, QString::number(review.strokes), Qt::AlignRight);
    m_strokeRatioLabel =
        cell(grid, row, 3, ratioText(review.strokes, review.characters), Qt::AlignRight);
    QFont bold = m_strokeRatioLabel->font();
    bold.setBold(true);
    m_strokeRatioLabel->setFont(bold);
    auto* note = new QLabel(QStringLiteral(
        "ローマ字入力では、かな１文字に子音と母音の２打鍵（あ行は１打鍵）が基本で、"
        "漢字には変換と確定の打鍵が加わります。一度に確定した語の打鍵は、その最初の文字に数えます。"
        "全体には改行と、最後に入力できなかった文字への打鍵も含みます。"));
    note->setWordWrap(true);
    grid->addWidget(note, 0, 4, row + 1, 1, Qt::AlignTop);
    grid->setColumnStretch(4, 1);
    grid->setColumnMinimumWidth(4, 260);
    layout->addWidget(strokesBox);

    auto* buttons = new QDialogButtonBox;
    if (offerDrill && !review.missed.isEmpty()) {
        m_drillButton =
            buttons->addButton(QStringLiteral("弱点練習(&D)"), QDialogButtonBox::AcceptRole);
        connect(m_drillButton, &QPushButton::clicked, this, [this] { done(DrillChosen); });
    }
    m_helpButton = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    connect(m_helpButton, &QPushButton::clicked, this, [this] { done(HelpChosen); });
    m_closeButton = buttons->addButton(QStringLiteral("閉じる(&C)"), QDialogButtonBox::RejectRole);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    m_closeButton->setDefault(true);
    layout->addWidget(buttons);
}
