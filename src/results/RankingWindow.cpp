#include "RankingWindow.h"

#include "ReturnArrowIcon.h"
#include "platform/CenterWindow.h"
#include "settings/Settings.h"

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

RankingWindow::RankingWindow(const Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("RankingWindow"));
    setWindowTitle(QStringLiteral("ランキング情報"));
    setFont(rankingFont());

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(6);
    grid->setContentsMargins(16, 14, 16, 14);

    auto title = [&](const QString& text, const char* name, int column) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        grid->addWidget(label, 0, column);
        return label;
    };
    m_userIdTitle = title(QStringLiteral("ユーザID"), "userIdTitle", 1);
    m_userNameTitle = title(QStringLiteral("ユーザ名"), "userNameTitle", 2);
    m_dateTitle = title(QStringLiteral("達成日"), "dateTitle", 3);
    m_speedTitle = title(QStringLiteral("速度"), "speedTitle", 4);
    m_accuracyTitle = title(QStringLiteral("正打率"), "accuracyTitle", 5);
    m_secondsUsedTitle = title(QStringLiteral("使用時間"), "secondsUsedTitle", 6);

    for (int row = 0; row < 10; ++row) {
        auto* number = new QLabel(QString::number(row + 1) + u':', this);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        number->setObjectName(QStringLiteral("rankLabels%1").arg(row));
        m_rankLabels.append(number);
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
        auto cell = [&](QList<QLabel*>& labels, const char* name, int column, Qt::Alignment align) {
            auto* label = new QLabel(this);
            label->setObjectName(QLatin1String(name) + QString::number(row));
            labels.append(place(label, column, align));
        };
        auto elidedCell = [&](QList<ElidedLabel*>& labels, const char* name, int column) {
            auto* label = new ElidedLabel(this);
            label->setObjectName(QLatin1String(name) + QString::number(row));
            place(label, column, Qt::AlignLeft);
            labels.append(label);
        };
        elidedCell(m_userIdLabels, "userIdLabels", 1);
        elidedCell(m_userNameLabels, "userNameLabels", 2);
        cell(m_dateLabels, "dateLabels", 3, Qt::AlignLeft);
        cell(m_speedLabels, "speedLabels", 4, Qt::AlignRight);
        cell(m_accuracyLabels, "accuracyLabels", 5, Qt::AlignRight);
        cell(m_secondsUsedLabels, "secondsUsedLabels", 6, Qt::AlignRight);
    }

    // Blank rows say why, as the browser does: the file, the line and the cause.
    m_failureLabel = new QLabel(this);
    m_failureLabel->setObjectName(QStringLiteral("rankingFailure"));
    m_failureLabel->setTextFormat(Qt::PlainText);
    m_failureLabel->setWordWrap(true);
    m_failureLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_failureLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_failureLabel->hide();
    grid->addWidget(m_failureLabel, 11, 0, 1, 7);

    m_closeButton = new QPushButton(this);

    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setIcon(returnArrowIcon());
    m_closeButton->setIconSize(QSize(32, 32));
    m_closeButton->setAccessibleName(QStringLiteral("閉じる"));
    m_closeButton->setToolTip(QStringLiteral("閉じる"));
    grid->addWidget(m_closeButton, 12, 5, 1, 2, Qt::AlignRight);
    connect(m_closeButton, &QPushButton::clicked, this, &RankingWindow::closeWindow);

    m_browserButton = new QPushButton(QStringLiteral("成績一覧(&L)"), this);

    m_browserButton->setObjectName(QStringLiteral("browserButton"));
    grid->addWidget(m_browserButton, 12, 1, 1, 2, Qt::AlignLeft | Qt::AlignVCenter);
    connect(m_browserButton, &QPushButton::clicked, this, &RankingWindow::resultsBrowserRequested);
}

void RankingWindow::setRow(int row, const RankRowText& texts)
{
    m_userIdLabels[row]->setFullText(texts.userId);
    m_userNameLabels[row]->setFullText(texts.userName);
    m_dateLabels[row]->setText(texts.date);
    m_speedLabels[row]->setText(texts.speed);
    m_accuracyLabels[row]->setText(texts.accuracy);
    m_secondsUsedLabels[row]->setText(texts.secondsUsed);
}

void RankingWindow::setFailure(const QString& text)
{
    m_failureLabel->setText(text);
    m_failureLabel->setVisible(!text.isEmpty());
}

void RankingWindow::reload()
{
    adjustSize();
    centerWindow(this, QStringLiteral("center"));
    Ranking ranking;
    ranking.showsRepeats = m_settings.rankingShowsRepeats();
    ranking.load(*this, m_settings.logFolder(), m_settings.logName());
    if (m_failureLabel->isVisible()) { // sized before the reason arrived
        adjustSize();
        centerWindow(this, QStringLiteral("center"));
    }
}

int RankingWindow::exec()
{
    reload();
    return QDialog::exec();
}

void RankingWindow::closeWindow()
{
    done(QDialog::Accepted); // hides the window and ends a modal run
}
