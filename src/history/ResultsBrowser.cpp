#include "ResultsBrowser.h"

#include "ClassLog.h"
#include "ClassLogModel.h"
#include "CsvExport.h"
#include "DatabaseRunsModel.h"
#include "DateField.h"
#include "ProgressChart.h"
#include "common/NumericText.h"
#include "platform/CenterWindow.h"
#include "platform/LogFile.h"
#include "platform/MessageService.h"
#include "platform/SafeOutput.h"
#include "results/LogArchive.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace
{

DateField* dateField(QWidget* parent, const QString& name)
{
    auto* field = new DateField(parent);
    field->setAccessibleName(name);
    field->setDate(QDate::currentDate());
    field->setEnabled(false);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) +
                           44);
    return field;
}

} // namespace

ResultsBrowser::ResultsBrowser(const Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("ResultsBrowser"));
    setWindowTitle(QStringLiteral("成績一覧"));
    setSizeGripEnabled(true);

    m_userEdit = new QLineEdit(this);

    m_userEdit->setObjectName(QStringLiteral("userEdit"));
    m_userEdit->setAccessibleName(QStringLiteral("利用者"));
    m_userEdit->setPlaceholderText(QStringLiteral("IDか名前の一部"));
    m_userEdit->setClearButtonEnabled(true);
    m_fromEdit = dateField(this, QStringLiteral("期間の始め"));
    m_fromEdit->setObjectName(QStringLiteral("fromEdit"));
    m_toEdit = dateField(this, QStringLiteral("期間の終わり"));
    m_toEdit->setObjectName(QStringLiteral("toEdit"));
    m_fileCombo = new QComboBox(this);
    m_fileCombo->setAccessibleName(QStringLiteral("問題"));
    m_fileCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_outcomeCombo = new QComboBox(this);
    m_outcomeCombo->setObjectName(QStringLiteral("outcomeCombo"));
    m_outcomeCombo->setAccessibleName(QStringLiteral("合否"));
    m_outcomeCombo->addItems(
        {QStringLiteral("すべて"), QStringLiteral("合格"), QStringLiteral("不合格")});
    m_passLabel = new QLabel(this);
    // Only the results database knows where and what kind of run it was.
    m_siteCombo = new QComboBox(this);
    m_siteCombo->setObjectName(QStringLiteral("siteCombo"));
    m_siteCombo->setAccessibleName(QStringLiteral("拠点"));
    m_siteCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_kindCombo = new QComboBox(this);
    m_kindCombo->setObjectName(QStringLiteral("kindCombo"));
    m_kindCombo->setAccessibleName(QStringLiteral("種類"));
    const std::pair<const char16_t*, const char*> kinds[] = {{u"すべて", ""},
                                                             {u"練習", "practice"},
                                                             {u"認定", "certification"},
                                                             {u"取り込み", "imported"}};
    for (const auto& [name, kind] : kinds)
        m_kindCombo->addItem(QString::fromUtf16(name), QString::fromLatin1(kind));
    const bool fromDatabase = !settings.databaseServer().isEmpty();

    auto* filters = new QHBoxLayout;
    auto label = [&](const QString& text, QWidget* buddy, QHBoxLayout* row) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        row->addWidget(l);
        row->addWidget(buddy);
    };
    label(QStringLiteral("利用者(&U):"), m_userEdit, filters);
    filters->addSpacing(8);
    m_periodCheck = new QCheckBox(QStringLiteral("期間(&D):"), this);
    m_periodCheck->setObjectName(QStringLiteral("periodCheck"));
    filters->addWidget(m_periodCheck);
    filters->addWidget(m_fromEdit);
    filters->addWidget(new QLabel(QStringLiteral("～"), this));
    filters->addWidget(m_toEdit);
    filters->addSpacing(8);
    label(QStringLiteral("問題(&F):"), m_fileCombo, filters);
    filters->addSpacing(8);
    label(QStringLiteral("合否(&J):"), m_outcomeCombo, filters);
    filters->addWidget(m_passLabel);
    filters->addStretch();
    // A second row: the first is as wide as the window already is.
    QHBoxLayout* databaseFilters = nullptr;
    if (fromDatabase) {
        databaseFilters = new QHBoxLayout;
        label(QStringLiteral("拠点(&L):"), m_siteCombo, databaseFilters);
        databaseFilters->addSpacing(8);
        label(QStringLiteral("種類(&K):"), m_kindCombo, databaseFilters);
        databaseFilters->addStretch();
    } else {
        m_siteCombo->hide();
        m_kindCombo->hide();
    }

    if (fromDatabase)
        m_model = m_runsModel = new DatabaseRunsModel(this);
    else
        m_model = m_logModel = new ClassLogModel(this);

    m_model->setObjectName(QStringLiteral("model"));
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("ResultsTable"));
    m_table->setAccessibleName(QStringLiteral("記録"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    // Fixed row heights and column widths: the view never measures a million rows.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // 連番 numbers the records; a second numbering beside it only confuses.
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Log order until a title is clicked.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);

    m_summary = new QTableWidget(0, 6, this);
    m_summary->setObjectName(QStringLiteral("SummaryTable"));
    m_summary->setAccessibleName(QStringLiteral("利用者ごとのまとめ"));
    m_summary->setHorizontalHeaderLabels(
        {QStringLiteral("ユーザID"), QStringLiteral("ユーザ名"), QStringLiteral("回数"),
         QStringLiteral("最高速度"), QStringLiteral("最新の速度"), QStringLiteral("最高正打率")});
    m_summary->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_summary->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_summary->setSelectionMode(QAbstractItemView::SingleSelection);
    m_summary->verticalHeader()->hide();

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_table);
    splitter->addWidget(m_summary);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);

    m_chartButton = new QPushButton(QStringLiteral("成績の推移(&G)"), this);

    m_exportButton = new QPushButton(QStringLiteral("CSVに書き出す(&S)..."), this);
    m_closeButton = new QPushButton(QStringLiteral("閉じる"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    // No default button: Enter in the filter box must not open a window.
    for (QPushButton* button : {m_chartButton, m_exportButton, m_closeButton})
        button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_chartButton);
    buttons->addWidget(m_exportButton);
    buttons->addStretch();
    buttons->addWidget(m_closeButton);

    m_statusBar = new QStatusBar(this);

    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusBar->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6); // the table gets the width
    layout->addLayout(filters);
    if (databaseFilters)
        layout->addLayout(databaseFilters);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_statusBar);

    m_filterDelay = new QTimer(this);
    m_filterDelay->setSingleShot(true);
    m_filterDelay->setInterval(250);
    connect(m_filterDelay, &QTimer::timeout, this, &ResultsBrowser::applyFilter);
    connect(m_userEdit, &QLineEdit::textChanged, m_filterDelay, qOverload<>(&QTimer::start));
    for (DateField* edit : {m_fromEdit, m_toEdit}) {
        connect(edit, &DateField::dateChanged, this, &ResultsBrowser::applyFilter);
        connect(m_periodCheck, &QCheckBox::toggled, edit, &QWidget::setEnabled);
    }
    connect(m_periodCheck, &QCheckBox::toggled, this, &ResultsBrowser::applyFilter);
    for (QComboBox* combo : {m_fileCombo, m_outcomeCombo, m_siteCombo, m_kindCombo})
        connect(combo, &QComboBox::currentIndexChanged, this, &ResultsBrowser::applyFilter);
    connect(m_model, &QAbstractItemModel::modelReset, this, &ResultsBrowser::showStatus);
    connect(m_model, &RunsTableModel::rowsCounted, this, &ResultsBrowser::fillSummary);
    connect(m_chartButton, &QPushButton::clicked, this, &ResultsBrowser::showChart);
    connect(m_exportButton, &QPushButton::clicked, this, &ResultsBrowser::exportCsv);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_table, &QTableView::doubleClicked, this, &ResultsBrowser::showChart);
    connect(m_summary, &QTableWidget::cellDoubleClicked, this, &ResultsBrowser::showChart);

    // Wide enough for the title and a usual value, measured once.
    static const char16_t* const samples[] = {u"00000",    u"0000-00-00",   u"00:00:00",
                                              u"2A00000",  u"佐々木　悠真", u"PC0000",
                                              u"student0", u"jpn_dat.000"};
    const QFontMetrics metrics = m_table->fontMetrics();
    for (int column = 0; column < ClassLogColumns::Count; ++column) {
        const QString sample =
            column < 8 ? QString::fromUtf16(samples[column]) : QStringLiteral("0000.0");
        int title = 0;
        for (const QString& line : ClassLogModel::headerTitle(column).split(u'\n'))
            title = qMax(title, metrics.horizontalAdvance(line));
        m_table->setColumnWidth(column, qMax(title + 12, metrics.horizontalAdvance(sample) + 10));
    }
    // A strip above the titles for the sort arrow.
    m_table->horizontalHeader()->setMinimumHeight(m_table->horizontalHeader()->sizeHint().height() +
                                                  6);
    m_summary->horizontalHeader()->setStretchLastSection(false);
    m_summary->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_summary->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    for (int column : {0, 2, 3, 4, 5})
        m_summary->setColumnWidth(column,
                                  metrics.horizontalAdvance(QStringLiteral("最新の速度")) + 40);
    // Every column in sight where the screen allows, else as wide as the screen: the table
    // then scrolls sideways.
    int columns = 0;
    for (int column = 0; column < ClassLogColumns::Count; ++column)
        columns += m_table->columnWidth(column);
    const int wanted = columns + 2 * m_table->frameWidth() +
                       m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                       layout->contentsMargins().left() + layout->contentsMargins().right() + 4;
    const QRect screenArea = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    resize(qBound(900, wanted, screenArea.width() - 16), qMin(700, screenArea.height() - 40));
}

ResultsBrowser::~ResultsBrowser() = default;

int ResultsBrowser::exec()
{
    reload();
    centerWindow(this, QStringLiteral("center"));
    return QDialog::exec();
}

ResultsBrowser::Choices ResultsBrowser::readLog()
{
    auto log = std::make_shared<ClassLog>();
    const QString path = logFilePath(m_settings.logFolder(), m_settings.logName());
    const QStringList files = LogArchive::withArchives(path);
    ClassLog::Status status = log->open(files);
    while (status == ClassLog::Status::Changed &&
           showMessage(QStringLiteral("ログファイルが読み込み中に変更されました。\n"
                                      "もう一度読み込みますか？"),
                       MessageButtons::YesNo, QStringLiteral("成績一覧"),
                       MessageIcon::Question) == MessageAnswer::Yes)
        status = log->open(files);
    m_readReport =
        status == ClassLog::Status::Ok ? readReport(*log) : openFailureText(int(status), path);
    m_log = log;
    m_logModel->setLog(m_log);
    return {
        m_log->valuesOf(int(LogColumn::FileName)), {}, m_log->earliestDate(), m_log->latestDate()};
}

ResultsBrowser::Choices ResultsBrowser::readDatabase()
{
    m_readReport = m_runsModel->connectTo(m_settings.databaseServer())
                       ? QStringLiteral("結果データベースの記録")
                       : QStringLiteral("結果データベースを読めません: ") + m_runsModel->failure();
    return {m_runsModel->fileNames(), m_runsModel->sites(), m_runsModel->earliestDate(),
            m_runsModel->latestDate()};
}

void ResultsBrowser::reload()
{
    const Choices choices = m_runsModel ? readDatabase() : readLog();
    auto refill = [](QComboBox* combo, const QStringList& values) {
        const QString chosen = combo->currentIndex() > 0 ? combo->currentText() : QString();
        const QSignalBlocker blocker(combo);
        combo->clear();
        combo->addItem(QStringLiteral("すべて"));
        combo->addItems(values);
        combo->setCurrentIndex(qMax(0, combo->findText(chosen)));
    };
    refill(m_fileCombo, choices.fileNames);
    refill(m_siteCombo, choices.sites);
    // The period starts out as the whole log, to be narrowed from there.
    if (!m_periodCheck->isChecked() && choices.earliest.isValid()) {
        const QSignalBlocker fromBlocker(m_fromEdit);
        const QSignalBlocker toBlocker(m_toEdit);
        m_fromEdit->setDate(choices.earliest);
        m_toEdit->setDate(choices.latest);
    }
    m_passLabel->setText(QStringLiteral("（合格ライン ") + QString::number(m_settings.passSpeed()) +
                         QStringLiteral(" 文字/分）"));
    applyFilter();
}

void ResultsBrowser::applyFilter()
{
    m_filterDelay->stop();
    ClassLogFilter filter;
    filter.user = m_userEdit->text();
    if (m_periodCheck->isChecked()) {
        filter.from = m_fromEdit->date();
        filter.to = m_toEdit->date();
    }
    if (m_fileCombo->currentIndex() > 0)
        filter.fileName = m_fileCombo->currentText();
    filter.outcome = ClassLogFilter::Outcome(qMax(0, m_outcomeCombo->currentIndex()));
    filter.passSpeed = m_settings.passSpeed();
    if (m_siteCombo->currentIndex() > 0)
        filter.site = m_siteCombo->currentText();
    filter.kind = m_kindCombo->currentData().toString();
    m_model->setFilter(filter);
}

void ResultsBrowser::fillSummary()
{
    m_summary->setRowCount(0);
    const std::optional<QList<UserSummary>> summary = m_model->summary();
    m_summaryLeftOut = !summary;
    showStatus();
    if (!summary)
        return;
    const QList<UserSummary>& users = *summary;
    m_summary->setRowCount(int(users.size()));
    for (int row = 0; row < users.size(); ++row) {
        const UserSummary& user = users[row];
        const QStringList texts{user.userId,
                                user.userName,
                                QString::number(user.runs),
                                NumericText::singleDisplayText(user.bestSpeed),
                                NumericText::singleDisplayText(user.latestSpeed),
                                NumericText::singleDisplayText(user.bestAccuracy)};
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (column >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_summary->setItem(row, column, item);
        }
    }
}

void ResultsBrowser::showStatus()
{
    QString text = m_readReport + QStringLiteral("　／　表示 ") +
                   QString::number(m_model->rowCount()) + QStringLiteral(" 件");
    if (m_runsModel && !m_runsModel->isCounted())
        text += QStringLiteral("以上（数えています）");
    if (m_runsModel && !m_runsModel->failure().isEmpty())
        text = QStringLiteral("結果データベースを読めません: ") + m_runsModel->failure();
    else if (m_summaryLeftOut)
        text += QStringLiteral("　／　利用者ごとのまとめは、%L1 件以下に絞り込むと表示します")
                    .arg(DatabaseRunsModel::SummaryLimit);
    m_statusBar->showMessage(text);
}

QString ResultsBrowser::selectedUserId() const
{
    if (m_summary->hasFocus() || !m_table->selectionModel()->hasSelection()) {
        const QList<QTableWidgetItem*> items = m_summary->selectedItems();
        if (!items.isEmpty())
            return m_summary->item(items.first()->row(), 0)->text();
    }
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : m_model->userIdAt(rows.first().row());
}

void ResultsBrowser::showChart()
{
    QString userId = selectedUserId();
    if (userId.isEmpty() && m_summary->rowCount() == 1)
        userId = m_summary->item(0, 0)->text();
    if (userId.isEmpty()) {
        showMessage(QStringLiteral("表か利用者ごとのまとめで、利用者を1人選んでください"),
                    MessageButtons::Ok, QStringLiteral("成績の推移"), MessageIcon::Information);
        return;
    }
    ProgressChartDialog dialog(m_model->progressOf(userId), this);
    dialog.resize(900, 560);
    dialog.exec();
}

void ResultsBrowser::prepareCsvDialog(QFileDialog& dialog)
{
    dialog.setWindowTitle(QStringLiteral("CSVに書き出す"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("CSV ファイル (*.csv)"));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(QStringLiteral("成績一覧.csv"));
}

bool ResultsBrowser::exportTo(const QString& path)
{
    const SafeOutput::Refusal refusal =
        m_log ? SafeOutput::check(path, m_log->fileIds()) : SafeOutput::Refusal::None;
    if (refusal != SafeOutput::Refusal::None) {
        showMessage(SafeOutput::message(refusal, path), MessageButtons::Ok,
                    QStringLiteral("エラー"), MessageIcon::Critical);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !m_model->writeCsv(file) || !file.commit()) {
        showMessage(QStringLiteral("CSVファイルを書き出せませんでした"), MessageButtons::Ok,
                    QStringLiteral("エラー"), MessageIcon::Critical);
        return false;
    }
    QString done =
        QString::number(m_model->rowCount()) + QStringLiteral(" 件を書き出しました: ") + path;
    if (m_log && !m_runsModel && !m_log->skippedFiles().isEmpty())
        done += QStringLiteral("　／　") + skippedReport(*m_log);
    m_statusBar->showMessage(done);
    return true;
}

void ResultsBrowser::exportCsv()
{
    QFileDialog dialog(this);
    prepareCsvDialog(dialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        exportTo(dialog.selectedFiles().first());
}
