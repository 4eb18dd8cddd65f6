#include "frmRanking.h"

#include "ReturnArrowIcon.h"
#include "app/CenterForm.h"
#include "app/modPelko.h"
#include "settings/clsKankyo.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace
{

QFont rankingFont()
{
    const QString wanted = QStringLiteral("ＭＳ Ｐゴシック");
    QFont font(QFontDatabase::families().contains(wanted) ? wanted : QStringLiteral("IPAPGothic"));
    font.setPointSize(10);
    return font;
}

} // namespace

frmRanking& frmRanking::instance()
{
    static frmRanking* form = new frmRanking;
    return *form;
}

frmRanking::frmRanking() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("frmRanking"));
    setWindowTitle(QStringLiteral("ランキング情報"));
    setFont(rankingFont());

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(6);
    grid->setContentsMargins(16, 14, 16, 14);

    auto title = [&](const QString& text, int column) {
        auto* label = new QLabel(text, this);
        grid->addWidget(label, 0, column);
        return label;
    };
    lblUserIDTitle = title(QStringLiteral("ユーザID"), 1);
    lblUserNameTitle = title(QStringLiteral("ユーザ名"), 2);
    lblDateTitle = title(QStringLiteral("達成日"), 3);
    lblSpeedTitle = title(QStringLiteral("速度"), 4);
    lblSeidaTitle = title(QStringLiteral("正打率"), 5);
    lblTimeTitle = title(QStringLiteral("使用時間"), 6);

    for (int row = 0; row < 10; ++row) {
        auto* number = new QLabel(QString::number(row + 1) + u':', this);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblNum.append(number);
        grid->addWidget(number, row + 1, 0);
        // Wide enough for the usual values, since the window is sized before the values
        // arrive; longer IDs and names end in "…".
        static const char16_t* const widest[] = {
            u"", u"WWWWWWWW", u"ＷＷＷＷＷＷＷＷ", u"00-00-0000", u"0000.0", u"100.0", u"00000"};
        auto place = [&](QLabel* label, int column, Qt::Alignment align) {
            label->setAlignment(align | Qt::AlignVCenter);
            label->setMinimumWidth(
                label->fontMetrics().horizontalAdvance(QString::fromUtf16(widest[column])) + 12);
            grid->addWidget(label, row + 1, column);
            return label;
        };
        auto cell = [&](QList<QLabel*>& array, int column, Qt::Alignment align) {
            array.append(place(new QLabel(this), column, align));
        };
        auto elidedCell = [&](QList<ElidedLabel*>& array, int column) {
            auto* label = new ElidedLabel(this);
            place(label, column, Qt::AlignLeft);
            array.append(label);
        };
        elidedCell(lblUserID, 1);
        elidedCell(lblUserName, 2);
        cell(lblDate, 3, Qt::AlignLeft);
        cell(lblSpeed, 4, Qt::AlignRight);
        cell(lblSeida, 5, Qt::AlignRight);
        cell(lblTime, 6, Qt::AlignRight);
    }

    cmdReturn = new QPushButton(this);
    cmdReturn->setIcon(returnArrowIcon());
    cmdReturn->setIconSize(QSize(32, 32));
    cmdReturn->setAccessibleName(QStringLiteral("閉じる"));
    cmdReturn->setToolTip(QStringLiteral("閉じる"));
    grid->addWidget(cmdReturn, 11, 5, 1, 2, Qt::AlignRight);
    connect(cmdReturn, &QPushButton::clicked, this, &frmRanking::cmdReturn_Click);
}

void frmRanking::setRankRow(int row, const RankRowText& texts)
{
    lblUserID[row]->setFullText(texts.UserID);
    lblUserName[row]->setFullText(texts.UserName);
    lblDate[row]->setText(texts.Date);
    lblSpeed[row]->setText(texts.Speed);
    lblSeida[row]->setText(texts.Seida);
    lblTime[row]->setText(texts.Time);
}

void frmRanking::Form_Load()
{
    adjustSize();
    CenterForm(this, QStringLiteral("center"));
    clsRanking ranking;
    ranking.LoadRank(*this, objKankyo ? objKankyo->LogPath() : QString(),
                     objKankyo ? objKankyo->LogName() : QStringLiteral("pelko.log"));
}

int frmRanking::showModal()
{
    Form_Load();
    return exec();
}

void frmRanking::cmdReturn_Click()
{
    done(QDialog::Accepted); // hides the window and ends a modal run
}
