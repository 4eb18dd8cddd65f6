#include "SettingsDialog.h"

#include "ColorChooser.h"
#include "ColorLiteral.h"
#include "FolderDialog.h"
#include "LogFileDialog.h"
#include "PassLogFormatDialog.h"
#include "Settings.h"
#include "SettingsText.h"
#include "common/NumericText.h"
#include "platform/CenterWindow.h"
#include "platform/DialogKeys.h"
#include "platform/MessageService.h"
#include "platform/SiteKey.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

using namespace SettingsRules;

namespace
{

void selectOption(QRadioButton* const* options, int count, int index)
{
    if (index >= 0 && index < count) {
        options[index]->setChecked(true);
        return;
    }
    // No option at all: exclusive buttons refuse to be unchecked one by one.
    for (int i = 0; i < count; ++i) {
        options[i]->setAutoExclusive(false);
        options[i]->setChecked(false);
        options[i]->setAutoExclusive(true);
    }
}

template <std::size_t N> void selectOption(std::array<QRadioButton*, N>& options, int index)
{
    selectOption(options.data(), int(N), index);
}

template <std::size_t N> int selectedOption(const std::array<QRadioButton*, N>& options)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (options[i]->isChecked())
            return int(i);
    }
    return -1;
}

QScrollBar* makeBar(QWidget* parent, const Bar& bar, const QString& name)
{
    auto* scrollBar = new QScrollBar(Qt::Vertical, parent);
    scrollBar->setRange(bar.minimum, bar.maximum);
    scrollBar->setSingleStep(bar.singleStep);
    scrollBar->setPageStep(bar.pageStep);
    scrollBar->setFocusPolicy(Qt::StrongFocus);
    scrollBar->setAccessibleName(name);
    scrollBar->setMinimumHeight(scrollBar->fontMetrics().height() * 5 / 2);
    return scrollBar;
}

QLabel* makeValueLabel(QWidget* parent, const QString& widest)
{
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) +
                           label->fontMetrics().averageCharWidth());
    return label;
}

// Bar, value label and unit label side by side.
void addBarRow(QGridLayout* grid, int row, QWidget* lead, QScrollBar* bar, QLabel* value,
               QLabel* unit)
{
    int col = 0;
    if (lead)
        grid->addWidget(lead, row, col++);
    grid->addWidget(value, row, col++);
    grid->addWidget(unit, row, col++);
    grid->addWidget(bar, row, col++);
    grid->setColumnStretch(col, 1);
}

QGroupBox* makeGroup(const QString& caption, QWidget* parent)
{
    auto* box = new QGroupBox(caption, parent);
    return box;
}

QPushButton* makeButton(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    return button;
}

} // namespace

SettingsDialog::SettingsDialog(Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(QStringLiteral("環境設定"));
    setModal(true);
    // A size smaller than the program's own: the dialog holds every setting and must still
    // fit a 1024 x 768 screen.
    QFont smaller = font();
    smaller.setPointSizeF(std::max(8.0, smaller.pointSizeF() - 1));
    setFont(smaller);
    buildControls();
    nameControls();
    connectControls();
}

void SettingsDialog::buildControls()
{
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_content = new QWidget;
    QWidget* content = m_content;
    const QFontMetrics metrics(font());
    const int pathWidth = metrics.averageCharWidth() * 26;

    m_headerLabel = new QLabel(QStringLiteral("ＰＥＬＫＯの環境を設定します"), content);
    QFont headerFont = m_headerLabel->font();
    headerFont.setPointSizeF(headerFont.pointSizeF() * 1.4);
    headerFont.setBold(true);
    m_headerLabel->setFont(headerFont);

    // Groups are created column by column, top to bottom, so Tab walks them in that order.

    // First column: time, speed, order, paper, ranking.
    auto* durationBox = makeGroup(QStringLiteral("制限時間"), content);
    m_durationBar = makeBar(durationBox, DurationBar, QStringLiteral("制限時間"));
    m_durationLabel = makeValueLabel(durationBox, QStringLiteral("000"));
    m_minutesUnitLabel = new QLabel(QStringLiteral("分"), durationBox);
    addBarRow(new QGridLayout(durationBox), 0, nullptr, m_durationBar, m_durationLabel,
              m_minutesUnitLabel);

    auto* changeDurationBox = makeGroup(QStringLiteral("制限時間変更許可"), content);
    m_changeDurationOptions[0] = new QRadioButton(QStringLiteral("許可"), changeDurationBox);
    m_changeDurationOptions[1] = new QRadioButton(QStringLiteral("不可"), changeDurationBox);
    m_changeDurationNote = new QLabel(QStringLiteral("※検定モードのみ"), changeDurationBox);
    {
        auto* grid = new QGridLayout(changeDurationBox);
        grid->addWidget(m_changeDurationOptions[0], 0, 0);
        grid->addWidget(m_changeDurationOptions[1], 0, 1);
        grid->addWidget(m_changeDurationNote, 1, 0, 1, 2);
    }

    auto* passSpeedBox = makeGroup(QStringLiteral("合格ライン"), content);
    m_passSpeedBar = makeBar(passSpeedBox, PassSpeedBar, QStringLiteral("合格ライン"));
    m_passSpeedLabel = makeValueLabel(passSpeedBox, QStringLiteral("0000"));
    m_passSpeedUnitLabel = new QLabel(QStringLiteral("文字／分"), passSpeedBox);
    addBarRow(new QGridLayout(passSpeedBox), 0, nullptr, m_passSpeedBar, m_passSpeedLabel,
              m_passSpeedUnitLabel);

    auto* orderBox = makeGroup(QStringLiteral("例題順序（練習時のみ有効）"), content);
    {
        auto* rows = new QVBoxLayout(orderBox);
        const char16_t* captions[] = {u"ランダム", u"順番", u"選択"};
        for (int i = 0; i < 3; ++i) {
            m_orderOptions[i] = new QRadioButton(QString::fromUtf16(captions[i]), orderBox);
            rows->addWidget(m_orderOptions[i]);
        }
    }

    auto* paperBox = makeGroup(QStringLiteral("認定証の用紙サイズ"), content);
    {
        auto* grid = new QGridLayout(paperBox);
        const char16_t* captions[] = {u"A4", u"B4", u"B5"};
        for (int i = 0; i < 3; ++i) {
            m_paperOptions[i] = new QRadioButton(QString::fromUtf16(captions[i]), paperBox);
            grid->addWidget(m_paperOptions[i], 0, i);
        }
        m_paperNote = new QLabel(QStringLiteral("※B4,B5が使えないプリンタでは無効です"), paperBox);
        m_paperNote->setWordWrap(true);
        grid->addWidget(m_paperNote, 1, 0, 1, 3);
        m_certificateKeyLabel = new QLabel(
            SiteKey::summary(m_settings.certificateKeyFile(), m_settings.classFolders()), paperBox);
        m_certificateKeyLabel->setTextFormat(Qt::PlainText);
        m_certificateKeyLabel->setWordWrap(true);
        m_certificateKeyLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(m_certificateKeyLabel, 2, 0, 1, 3);
    }

    auto* rankingBox = makeGroup(QStringLiteral("ランキング表示形式"), content);
    {
        auto* rows = new QVBoxLayout(rankingBox);
        m_rankingOptions[0] = new QRadioButton(QStringLiteral("IDの重複なし"), rankingBox);
        m_rankingOptions[1] = new QRadioButton(QStringLiteral("無条件"), rankingBox);
        rows->addWidget(m_rankingOptions[0]);
        rows->addWidget(m_rankingOptions[1]);
    }

    // Second column: folders and log names.
    auto folderGroup = [&](const QString& caption, std::array<QRadioButton*, 2>& options,
                           QCheckBox*& defaultCheck, QLineEdit*& edit, int browseIndex) {
        auto* box = makeGroup(caption, content);
        options[0] = new QRadioButton(QStringLiteral("デフォルト:"), box);
        defaultCheck = new QCheckBox(box);
        options[1] = new QRadioButton(QStringLiteral("その他"), box);
        edit = new QLineEdit(box);
        edit->setMinimumWidth(pathWidth);
        edit->setAccessibleName(caption);
        m_browseFolderButtons[browseIndex] = makeButton(QStringLiteral("参照"), box);
        auto* grid = new QGridLayout(box);
        grid->addWidget(options[0], 0, 0);
        grid->addWidget(defaultCheck, 0, 1, 1, 2);
        grid->addWidget(options[1], 1, 0);
        grid->addWidget(edit, 1, 1);
        grid->addWidget(m_browseFolderButtons[browseIndex], 1, 2);
        grid->setColumnStretch(1, 1);
        return box;
    };
    auto nameGroup = [&](const QString& caption, const QString& defaultCaption,
                         std::array<QRadioButton*, 2>& options, QLineEdit*& edit, int browseIndex) {
        auto* box = makeGroup(caption, content);
        options[0] = new QRadioButton(defaultCaption, box);
        options[1] = new QRadioButton(QStringLiteral("その他"), box);
        edit = new QLineEdit(box);
        edit->setAccessibleName(caption);
        m_browseFileButtons[browseIndex] = makeButton(QStringLiteral("参照"), box);
        auto* grid = new QGridLayout(box);
        grid->addWidget(options[0], 0, 0, 1, 3);
        grid->addWidget(options[1], 1, 0);
        grid->addWidget(edit, 1, 1);
        grid->addWidget(m_browseFileButtons[browseIndex], 1, 2);
        grid->setColumnStretch(1, 1);
        return box;
    };
    auto* certificationFolderBox =
        folderGroup(QStringLiteral("本番用ファイルのパス"), m_certificationFolderOptions,
                    m_certificationDefaultCheck, m_certificationFolderEdit, 0);
    auto* practiceFolderBox =
        folderGroup(QStringLiteral("練習用データファイルのパス"), m_practiceFolderOptions,
                    m_practiceDefaultCheck, m_practiceFolderEdit, 3);
    auto* logFolderBox = folderGroup(QStringLiteral("ログファイルのパス"), m_logFolderOptions,
                                     m_logDefaultCheck, m_logFolderEdit, 1);
    auto* logNameBox =
        nameGroup(QStringLiteral("ログファイルの名前"), QStringLiteral("デフォルト(PELKO.LOG)"),
                  m_logNameOptions, m_logNameEdit, 0);
    auto* passLogFolderBox =
        folderGroup(QStringLiteral("合格ログファイルのパス"), m_passLogFolderOptions,
                    m_passLogDefaultCheck, m_passLogFolderEdit, 2);
    auto* passLogNameBox =
        nameGroup(QStringLiteral("合格ログファイルの名前"), QStringLiteral("デフォルト(PKSUB.LOG)"),
                  m_passLogNameOptions, m_passLogNameEdit, 1);

    // Third column: colours, window size, font sizes.
    auto* backgroundBox = makeGroup(QStringLiteral("背景"), content);
    {
        auto* grid = new QGridLayout(backgroundBox);
        auto colorRow = [&](int row, QLabel*& label, const QString& caption, QLineEdit*& edit,
                            QPushButton*& button) {
            label = new QLabel(caption, backgroundBox);
            edit = new QLineEdit(backgroundBox);
            edit->setAccessibleName(caption);
            edit->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("&HFFFFFF")) +
                                  metrics.averageCharWidth() * 3);
            button = makeButton(QStringLiteral("選択"), backgroundBox);
            label->setBuddy(edit);
            grid->addWidget(label, row, 0);
            grid->addWidget(edit, row, 1);
            grid->addWidget(button, row, 2);
        };
        colorRow(0, m_backColorLabel, QStringLiteral("背景色"), m_backColorEdit, m_backColorButton);
        m_backgroundModeLabel = new QLabel(QStringLiteral("背景状態"), backgroundBox);
        m_backgroundModeBox = new QComboBox(backgroundBox);
        m_backgroundModeBox->addItem(QStringLiteral("通常"));
        m_backgroundModeBox->addItem(QStringLiteral("最大"));
        m_backgroundModeBox->setAccessibleName(QStringLiteral("背景状態"));
        m_backgroundModeLabel->setBuddy(m_backgroundModeBox);
        grid->addWidget(m_backgroundModeLabel, 1, 0);
        grid->addWidget(m_backgroundModeBox, 1, 1, 1, 2);
        colorRow(2, m_problemBackColorLabel, QStringLiteral("問題背景色"), m_problemBackColorEdit,
                 m_problemBackColorButton);
        colorRow(3, m_problemColorLabel, QStringLiteral("問題文字色"), m_problemColorEdit,
                 m_problemColorButton);
    }

    m_windowPercentGroup = makeGroup(QStringLiteral("画面サイズ"), content);
    m_windowPercentGroup->setObjectName(QStringLiteral("windowPercentGroup"));
    m_windowPercentLeadLabel = new QLabel(QStringLiteral("モニターの"), m_windowPercentGroup);
    m_windowPercentBar =
        makeBar(m_windowPercentGroup, WindowPercentBar, QStringLiteral("画面サイズ"));
    m_windowPercentLabel = makeValueLabel(m_windowPercentGroup, QStringLiteral("000"));
    m_percentUnitLabel = new QLabel(QStringLiteral("%"), m_windowPercentGroup);
    addBarRow(new QGridLayout(m_windowPercentGroup), 0, m_windowPercentLeadLabel,
              m_windowPercentBar, m_windowPercentLabel, m_percentUnitLabel);

    auto fontGroup = [&](const QString& caption, const Bar& bar, QScrollBar*& scrollBar,
                         QLabel*& value, QLabel*& unit) {
        auto* box = makeGroup(caption, content);
        scrollBar = makeBar(box, bar, caption);
        value = makeValueLabel(box, QStringLiteral("00.0"));
        unit = new QLabel(QStringLiteral("Point"), box);
        addBarRow(new QGridLayout(box), 0, nullptr, scrollBar, value, unit);
        return box;
    };
    auto* baseFontBox = fontGroup(QStringLiteral("文字サイズ"), BaseFontBar, m_baseFontBar,
                                  m_baseFontLabel, m_baseFontUnitLabel);
    auto* rowGapBox =
        fontGroup(QStringLiteral("行間"), RowGapBar, m_rowGapBar, m_rowGapLabel, m_rowGapUnitLabel);
    auto* resultFontBox = fontGroup(QStringLiteral("結果文字ｻｲｽﾞ"), ResultFontBar, m_resultFontBar,
                                    m_resultFontLabel, m_resultFontUnitLabel);

    auto* passLogBox = makeGroup(QStringLiteral("合格ログの記録"), content);
    {
        m_passLogOptions[0] = new QRadioButton(QStringLiteral("する"), passLogBox);
        m_passLogOptions[1] = new QRadioButton(QStringLiteral("しない"), passLogBox);
        m_passLogFormatButton = makeButton(QStringLiteral("ログ形式"), passLogBox);
        auto* row = new QHBoxLayout(passLogBox);
        row->addWidget(m_passLogOptions[0]);
        row->addWidget(m_passLogOptions[1]);
        row->addStretch();
        row->addWidget(m_passLogFormatButton);
    }

    m_okButton = makeButton(QStringLiteral("保存して終了"), this);
    m_cancelButton = makeButton(QStringLiteral("保存せず終了"), this);

    auto* columns = new QHBoxLayout;
    auto column = [&](std::initializer_list<QWidget*> boxes) {
        auto* columnLayout = new QVBoxLayout;
        for (QWidget* box : boxes)
            columnLayout->addWidget(box);
        columnLayout->addStretch();
        columns->addLayout(columnLayout);
    };
    column({durationBox, changeDurationBox, passSpeedBox, orderBox, paperBox, rankingBox});
    column({certificationFolderBox, practiceFolderBox, logFolderBox, logNameBox, passLogFolderBox,
            passLogNameBox});
    // The pass-log switch sits under the pictures' groups: the folder column is the tallest.
    column(
        {backgroundBox, m_windowPercentGroup, baseFontBox, rowGapBox, resultFontBox, passLogBox});
    columns->setStretch(1, 1);

    // Tight groups: the folder column has to fit a 768-pixel screen with the program's font.
    for (QGroupBox* box : content->findChildren<QGroupBox*>()) {
        const int side = box->fontMetrics().averageCharWidth();
        box->layout()->setContentsMargins(side, side / 2, side, side / 2);
        box->layout()->setSpacing(side / 2);
    }
    columns->setSpacing(metrics.averageCharWidth());

    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->addWidget(m_headerLabel);
    contentLayout->addLayout(columns);
    m_scroll->setWidget(content);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(m_scroll, 1);
    outer->addLayout(buttons);
}

void SettingsDialog::connectControls()
{
    auto onSelect = [this](QRadioButton* option, auto handler, int index) {
        connect(option, &QRadioButton::toggled, this, [this, handler, index](bool on) {
            if (on)
                (this->*handler)(index);
        });
    };
    for (int i = 0; i < 2; ++i) {
        onSelect(m_certificationFolderOptions[i], &SettingsDialog::chooseCertificationFolderOption,
                 i);
        onSelect(m_practiceFolderOptions[i], &SettingsDialog::choosePracticeFolderOption, i);
        onSelect(m_logFolderOptions[i], &SettingsDialog::chooseLogFolderOption, i);
        onSelect(m_passLogFolderOptions[i], &SettingsDialog::choosePassLogFolderOption, i);
        onSelect(m_logNameOptions[i], &SettingsDialog::chooseLogNameOption, i);
        onSelect(m_passLogNameOptions[i], &SettingsDialog::choosePassLogNameOption, i);
        onSelect(m_passLogOptions[i], &SettingsDialog::choosePassLogOption, i);
    }
    // The check boxes mark the default option and select it when clicked.
    const std::pair<QCheckBox*, void (SettingsDialog::*)()> defaultChecks[] = {
        {m_certificationDefaultCheck, &SettingsDialog::useDefaultCertificationFolder},
        {m_practiceDefaultCheck, &SettingsDialog::useDefaultPracticeFolder},
        {m_logDefaultCheck, &SettingsDialog::useDefaultLogFolder},
        {m_passLogDefaultCheck, &SettingsDialog::useDefaultPassLogFolder}};
    for (const auto& [defaultCheck, handler] : defaultChecks)
        connect(defaultCheck, &QCheckBox::clicked, this, handler);
    for (const Folder folder : {Practice, Certification, Log, PassLog}) {
        const FolderControls controls = folderControls(folder);
        connect((*controls.options)[0], &QRadioButton::toggled, controls.defaultCheck,
                &QCheckBox::setChecked);
    }

    connect(m_backgroundModeBox, &QComboBox::currentIndexChanged, this,
            &SettingsDialog::updateWindowPercentGroup);
    connect(m_durationBar, &QScrollBar::valueChanged, this, &SettingsDialog::showDuration);
    connect(m_passSpeedBar, &QScrollBar::valueChanged, this, &SettingsDialog::showPassSpeed);
    connect(m_windowPercentBar, &QScrollBar::valueChanged, this,
            &SettingsDialog::showWindowPercent);
    connect(m_baseFontBar, &QScrollBar::valueChanged, this, &SettingsDialog::showBaseFont);
    connect(m_rowGapBar, &QScrollBar::valueChanged, this, &SettingsDialog::showRowGap);
    connect(m_resultFontBar, &QScrollBar::valueChanged, this, &SettingsDialog::showResultFont);
    for (int i = 0; i < 4; ++i)
        connect(m_browseFolderButtons[i], &QPushButton::clicked, this,
                [this, i] { browseFolder(i); });
    for (int i = 0; i < 2; ++i)
        connect(m_browseFileButtons[i], &QPushButton::clicked, this,
                [this, i] { browseLogFile(i); });
    connect(m_passLogFormatButton, &QPushButton::clicked, this, &SettingsDialog::editPassLogFormat);
    connect(m_backColorButton, &QPushButton::clicked, this, &SettingsDialog::pickBackColor);
    connect(m_problemBackColorButton, &QPushButton::clicked, this,
            &SettingsDialog::pickProblemBackColor);
    connect(m_problemColorButton, &QPushButton::clicked, this, &SettingsDialog::pickProblemColor);
    connect(m_okButton, &QPushButton::clicked, this, &SettingsDialog::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &SettingsDialog::cancel);
}

void SettingsDialog::nameControls()
{
    const std::pair<QWidget*, const char*> controls[] = {
        {m_headerLabel, "headerLabel"},
        {m_durationBar, "durationBar"},
        {m_durationLabel, "durationLabel"},
        {m_minutesUnitLabel, "minutesUnitLabel"},
        {m_changeDurationNote, "changeDurationNote"},
        {m_passSpeedBar, "passSpeedBar"},
        {m_passSpeedLabel, "passSpeedLabel"},
        {m_passSpeedUnitLabel, "passSpeedUnitLabel"},
        {m_certificationDefaultCheck, "certificationDefaultCheck"},
        {m_certificationFolderEdit, "certificationFolderEdit"},
        {m_practiceDefaultCheck, "practiceDefaultCheck"},
        {m_practiceFolderEdit, "practiceFolderEdit"},
        {m_logDefaultCheck, "logDefaultCheck"},
        {m_logFolderEdit, "logFolderEdit"},
        {m_logNameEdit, "logNameEdit"},
        {m_passLogFormatButton, "passLogFormatButton"},
        {m_passLogDefaultCheck, "passLogDefaultCheck"},
        {m_passLogFolderEdit, "passLogFolderEdit"},
        {m_passLogNameEdit, "passLogNameEdit"},
        {m_paperNote, "paperNote"},
        {m_certificateKeyLabel, "certificateKeyLabel"},
        {m_backColorLabel, "backColorLabel"},
        {m_backColorEdit, "backColorEdit"},
        {m_backColorButton, "backColorButton"},
        {m_backgroundModeLabel, "backgroundModeLabel"},
        {m_backgroundModeBox, "backgroundModeBox"},
        {m_problemBackColorLabel, "problemBackColorLabel"},
        {m_problemBackColorEdit, "problemBackColorEdit"},
        {m_problemBackColorButton, "problemBackColorButton"},
        {m_problemColorLabel, "problemColorLabel"},
        {m_problemColorEdit, "problemColorEdit"},
        {m_problemColorButton, "problemColorButton"},
        {m_windowPercentLeadLabel, "windowPercentLeadLabel"},
        {m_windowPercentBar, "windowPercentBar"},
        {m_windowPercentLabel, "windowPercentLabel"},
        {m_percentUnitLabel, "percentUnitLabel"},
        {m_baseFontBar, "baseFontBar"},
        {m_baseFontLabel, "baseFontLabel"},
        {m_baseFontUnitLabel, "baseFontUnitLabel"},
        {m_rowGapBar, "rowGapBar"},
        {m_rowGapLabel, "rowGapLabel"},
        {m_rowGapUnitLabel, "rowGapUnitLabel"},
        {m_resultFontBar, "resultFontBar"},
        {m_resultFontLabel, "resultFontLabel"},
        {m_resultFontUnitLabel, "resultFontUnitLabel"},
        {m_okButton, "okButton"},
        {m_cancelButton, "cancelButton"},
    };
    for (const auto& [control, name] : controls)
        control->setObjectName(QLatin1StringView(name));
    // Options and buttons that come in rows are numbered from 0.
    const auto nameRow = [](auto& row, const char* name) {
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i]->setObjectName(QLatin1StringView(name) + QString::number(i));
    };
    nameRow(m_changeDurationOptions, "changeDurationOptions");
    nameRow(m_orderOptions, "orderOptions");
    nameRow(m_certificationFolderOptions, "certificationFolderOptions");
    nameRow(m_practiceFolderOptions, "practiceFolderOptions");
    nameRow(m_logFolderOptions, "logFolderOptions");
    nameRow(m_logNameOptions, "logNameOptions");
    nameRow(m_passLogOptions, "passLogOptions");
    nameRow(m_passLogFolderOptions, "passLogFolderOptions");
    nameRow(m_passLogNameOptions, "passLogNameOptions");
    nameRow(m_browseFolderButtons, "browseFolderButtons");
    nameRow(m_browseFileButtons, "browseFileButtons");
    nameRow(m_paperOptions, "paperOptions");
    nameRow(m_rankingOptions, "rankingOptions");
}

SettingsDialog::FolderControls SettingsDialog::folderControls(Folder folder)
{
    switch (folder) {
    case Practice:
        return {&m_practiceFolderOptions, m_practiceDefaultCheck, m_practiceFolderEdit,
                m_browseFolderButtons[3]};
    case Certification:
        return {&m_certificationFolderOptions, m_certificationDefaultCheck,
                m_certificationFolderEdit, m_browseFolderButtons[0]};
    case Log:
        return {&m_logFolderOptions, m_logDefaultCheck, m_logFolderEdit, m_browseFolderButtons[1]};
    case PassLog:
    default:
        return {&m_passLogFolderOptions, m_passLogDefaultCheck, m_passLogFolderEdit,
                m_browseFolderButtons[2]};
    }
}

int SettingsDialog::exec()
{
    prepare();
    show();
    // Shown, the controls know their real sizes: fit the dialog to them again.
    fitToScreen();
    checkFolders();
    // The first check may already have closed the dialog.
    if (!isVisible())
        return result();
    return QDialog::exec();
}

void SettingsDialog::fitToScreen()
{
    // Sizes are only right once the style has polished every control.
    ensurePolished();
    m_content->ensurePolished();
    m_content->layout()->activate();
    const QSize content = m_content->sizeHint();
    const QMargins margins = layout()->contentsMargins();
    const int buttonsHeight = m_okButton->sizeHint().height() + layout()->spacing();
    QSize wanted(content.width() + margins.left() + margins.right(),
                 content.height() + margins.top() + margins.bottom() + buttonsHeight);
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        // Too big for the screen (large text scale): the groups scroll inside the dialog.
        // Room left by the window frame, which is not part of the dialog's own size.
        const QSize room = screen->availableGeometry().size() - QSize(16, 40);
        const int bar = m_scroll->verticalScrollBar()->sizeHint().width();
        if (wanted.height() > room.height())
            wanted.rwidth() += bar;
        if (wanted.width() > room.width())
            wanted.rheight() += bar;
        wanted = wanted.boundedTo(room);
    }
    resize(wanted);
}

void SettingsDialog::prepare()
{
    // Defaults and the remembered custom colours.
    m_defaults[Practice] = Settings::defaultPracticeFolder();
    m_defaults[Certification] = Settings::defaultCertificationFolder();
    m_defaults[Log] = Settings::defaultLogFolder();
    m_defaults[PassLog] = Settings::defaultLogFolder();
    m_customColors = initialCustomColors();

    Settings& settings = m_settings;
    // Practice and certification folders.
    loadFolder(Practice, settings.practiceFolder());
    loadFolder(Certification, settings.certificationFolder());

    // Duration and whether it may change.
    m_durationBar->setValue(positionFor(DurationBar, settings.durationMinutes()));
    showDuration();
    selectOption(m_changeDurationOptions, settings.canChangeDuration() ? 0 : 1);

    // Pass speed: below 1 shows as 1.
    m_passSpeedBar->setValue(positionFor(PassSpeedBar, settings.passSpeed()));
    showPassSpeed();

    // Main log folder and name; the name always counts as "その他".
    loadFolder(Log, settings.logFolder());
    m_logNameEdit->setText(settings.logName());
    selectOption(m_logNameOptions, 1);
    chooseLogNameOption(1);

    // Pass log.
    selectOption(m_passLogOptions, settings.isPassLogEnabled() ? 0 : 1);
    choosePassLogOption(settings.isPassLogEnabled() ? 0 : 1);
    loadFolder(PassLog, settings.passLogFolder());
    m_passLogNameEdit->setText(settings.passLogName());
    selectOption(m_passLogNameOptions, 1);
    choosePassLogNameOption(1);

    // Paper: any other size selects none.
    selectOption(m_paperOptions, paperIndex(settings.paperSize()));

    // Colours that are no colour value show the defaults.
    auto shownColor = [](const QColor& color, const QColor& fallback) {
        return shownColorText(SettingsText::fromColor(color), SettingsText::fromColor(fallback));
    };
    m_backColorEdit->setText(shownColor(settings.backColor(), SettingDefaults::BackColor));
    m_problemBackColorEdit->setText(
        shownColor(settings.problemBackColor(), SettingDefaults::ProblemBackColor));
    m_problemColorEdit->setText(shownColor(settings.problemColor(), SettingDefaults::ProblemColor));

    // A background mode outside the list is reset in the settings themselves.
    const int mode = qToUnderlying(settings.backgroundMode());
    if (mode < 0 || mode >= m_backgroundModeBox->count())
        settings.setBackgroundMode(SettingDefaults::Background);
    {
        const QSignalBlocker block(m_backgroundModeBox);
        m_backgroundModeBox->setCurrentIndex(qToUnderlying(settings.backgroundMode()));
    }
    updateWindowPercentGroup();

    // Problem order, and whether the ranking repeats user IDs.
    selectOption(m_orderOptions, orderIndex(settings.problemOrder()));
    selectOption(m_rankingOptions, settings.rankingShowsRepeats() ? 1 : 0);

    // Font sizes.
    const std::tuple<QScrollBar*, QLabel*, const Bar*, float> fonts[] = {
        {m_baseFontBar, m_baseFontLabel, &BaseFontBar, settings.baseFontSize()},
        {m_rowGapBar, m_rowGapLabel, &RowGapBar, settings.rowGapFontSize()},
        {m_resultFontBar, m_resultFontLabel, &ResultFontBar, settings.resultFontSize()}};
    for (const auto& [scrollBar, label, bar, size] : fonts) {
        scrollBar->setValue(positionFor(*bar, size));
        label->setText(fontLabel(*bar, size));
    }

    // Window size.
    m_windowPercentBar->setValue(positionFor(WindowPercentBar, settings.windowPercent()));
    showWindowPercent();

    // The check boxes name the default folders.
    m_certificationDefaultCheck->setText(m_defaults[Certification]);
    m_practiceDefaultCheck->setText(m_defaults[Practice]);
    m_logDefaultCheck->setText(m_defaults[Log]);
    m_passLogDefaultCheck->setText(m_defaults[PassLog]);

    lockFixedValues();
    fitToScreen();
    m_scroll->ensureVisible(0, 0);
    m_durationBar->setFocus();
}

void SettingsDialog::lockFixedValues()
{
    // What the administrator fixed shows, but cannot be changed here.
    using Controls = std::vector<QWidget*>;
    const std::pair<const char16_t*, Controls> keys[] = {
        {u"time", {m_durationBar}},
        {u"chtm", {m_changeDurationOptions[0], m_changeDurationOptions[1]}},
        {u"gspd", {m_passSpeedBar}},
        {u"SortMode", {m_orderOptions[0], m_orderOptions[1], m_orderOptions[2]}},
        {u"data",
         {m_certificationFolderOptions[0], m_certificationFolderOptions[1],
          m_certificationDefaultCheck, m_certificationFolderEdit, m_browseFolderButtons[0]}},
        {u"testdata",
         {m_practiceFolderOptions[0], m_practiceFolderOptions[1], m_practiceDefaultCheck,
          m_practiceFolderEdit, m_browseFolderButtons[3]}},
        {u"paper", {m_paperOptions[0], m_paperOptions[1], m_paperOptions[2]}}};
    for (const auto& [key, controls] : keys) {
        if (!m_settings.isFixed(QStringLiteral("default"), QString::fromUtf16(key)))
            continue;
        for (QWidget* control : controls)
            control->setEnabled(false);
    }
}

void SettingsDialog::loadFolder(Folder folder, const QString& stored)
{
    folderControls(folder).edit->setText(stored);
    // Exact comparison: a different letter case counts as another folder.
    setFolderOption(folder, stored == m_defaults[folder] ? 0 : 1);
}

void SettingsDialog::setFolderOption(Folder folder, int index)
{
    const FolderControls controls = folderControls(folder);
    selectOption(*controls.options, index);
    controls.defaultCheck->setChecked(index == 0);
    controls.edit->setEnabled(index == 1);
    controls.browseButton->setEnabled(index == 1);
    if (index == 0)
        controls.edit->setText(m_defaults[folder]);
}

const FolderCheck& SettingsDialog::folderCheck() const
{
    return m_settings.folderCheck();
}

void SettingsDialog::checkFolders()
{
    centerWindow(this, QStringLiteral("center"));

    std::array<FolderGroup, FolderCount> groups;
    for (int index = 0; index < FolderCount; ++index) {
        const FolderControls controls = folderControls(Folder(index));
        groups[index].text = controls.edit->text();
        groups[index].option = (*controls.options)[1]->isChecked() ? 1 : 0;
    }
    FolderCheck& check = m_settings.folderCheck();
    check.repaired = [this](Folder folder, const FolderGroup& repairedGroup) {
        setFolderOption(folder, repairedGroup.option);
        folderControls(folder).edit->setText(repairedGroup.text);
    };
    const bool passed = check.run(groups, m_defaults);
    check.repaired = nullptr;
    if (!passed)
        done(Rejected);
}

void SettingsDialog::chooseCertificationFolderOption(int index)
{
    setFolderOption(Certification, index);
}
void SettingsDialog::choosePracticeFolderOption(int index)
{
    setFolderOption(Practice, index);
}
void SettingsDialog::chooseLogFolderOption(int index)
{
    setFolderOption(Log, index);
}
void SettingsDialog::choosePassLogFolderOption(int index)
{
    setFolderOption(PassLog, index);
}

void SettingsDialog::setNameOption(std::array<QRadioButton*, 2>& options, QLineEdit* edit,
                                   QPushButton* browseButton, const QString& defaultName, int index)
{
    selectOption(options, index);
    edit->setEnabled(index == 1);
    browseButton->setEnabled(index == 1);
    if (index == 0)
        edit->setText(defaultName);
}

void SettingsDialog::chooseLogNameOption(int index)
{
    setNameOption(m_logNameOptions, m_logNameEdit, m_browseFileButtons[0], SettingDefaults::LogName,
                  index);
}

void SettingsDialog::choosePassLogNameOption(int index)
{
    setNameOption(m_passLogNameOptions, m_passLogNameEdit, m_browseFileButtons[1],
                  SettingDefaults::PassLogName, index);
}

void SettingsDialog::useDefaultCertificationFolder()
{
    setFolderOption(Certification, 0);
}
void SettingsDialog::useDefaultPracticeFolder()
{
    setFolderOption(Practice, 0);
}
void SettingsDialog::useDefaultLogFolder()
{
    setFolderOption(Log, 0);
}
void SettingsDialog::useDefaultPassLogFolder()
{
    setFolderOption(PassLog, 0);
}

void SettingsDialog::choosePassLogOption(int index)
{
    m_passLogFormatButton->setEnabled(index == 0);
}

template <typename Show> void SettingsDialog::runChild(Show show)
{
    show();
    if (isVisible())
        checkFolders();
}

void SettingsDialog::editPassLogFormat()
{
    runChild([this] {
        PassLogFormatDialog dialog(m_settings, this);
        dialog.exec();
    });
}

void SettingsDialog::updateWindowPercentGroup()
{
    m_windowPercentGroup->setVisible(m_backgroundModeBox->currentIndex() == 0);
}

void SettingsDialog::showDuration()
{
    m_durationLabel->setText(labelAt(DurationBar, m_durationBar->value()));
}

void SettingsDialog::showPassSpeed()
{
    m_passSpeedLabel->setText(labelAt(PassSpeedBar, m_passSpeedBar->value()));
}

void SettingsDialog::showWindowPercent()
{
    m_windowPercentLabel->setText(labelAt(WindowPercentBar, m_windowPercentBar->value()));
}

void SettingsDialog::showBaseFont()
{
    m_baseFontLabel->setText(labelAt(BaseFontBar, m_baseFontBar->value()));
}

void SettingsDialog::showRowGap()
{
    m_rowGapLabel->setText(labelAt(RowGapBar, m_rowGapBar->value()));
}

void SettingsDialog::showResultFont()
{
    m_resultFontLabel->setText(labelAt(ResultFontBar, m_resultFontBar->value()));
}

void SettingsDialog::browseFolder(int index)
{
    static constexpr Folder byIndex[4] = {Certification, Log, PassLog, Practice};
    if (index < 0 || index > 3)
        return;
    QLineEdit* edit = folderControls(byIndex[index]).edit;
    runChild([this, edit] {
        FolderDialog dialog(this);
        dialog.setFolder(edit->text());
        if (dialog.exec() == QDialog::Accepted && !dialog.folder().isEmpty())
            edit->setText(dialog.folder());
    });
}

void SettingsDialog::browseLogFile(int index)
{
    if (index < 0 || index > 1)
        return;
    QLineEdit* folder = index == 0 ? m_logFolderEdit : m_passLogFolderEdit;
    QLineEdit* name = index == 0 ? m_logNameEdit : m_passLogNameEdit;
    runChild([this, folder, name] {
        LogFileDialog dialog(this);
        dialog.setFolder(folder->text());
        dialog.setFileName(name->text());
        // Only the name is taken over, never the folder.
        if (dialog.exec() == QDialog::Accepted && !dialog.fileName().isEmpty())
            name->setText(dialog.fileName());
    });
}

void SettingsDialog::pickColor(QLineEdit* edit)
{
    ColorChooser chooser;
    chooser.setPickedColor(colorValueOfBox(edit->text()));
    for (int i = 0; i < 16; ++i)
        chooser.setCustomColorAt(i, m_customColors[i]);
    if (!chooser.pick(this, ColorChooser::StartFromPicked | ColorChooser::FullDialog))
        return;
    edit->setText(ColorLiteral::fromBgr(quint32(chooser.pickedColor())));
    for (int i = 0; i < 16; ++i)
        m_customColors[i] = chooser.customColorAt(i);
}

void SettingsDialog::pickBackColor()
{
    pickColor(m_backColorEdit);
}
void SettingsDialog::pickProblemBackColor()
{
    pickColor(m_problemBackColorEdit);
}
void SettingsDialog::pickProblemColor()
{
    pickColor(m_problemColorEdit);
}

bool SettingsDialog::textsFitSettingsFile()
{
    const struct {
        Settings::Text text;
        QLineEdit* edit;
        const char16_t* field;
    } texts[] = {
        {Settings::Text::CertificationFolder, m_certificationFolderEdit, u"本番用ファイルのパス"},
        {Settings::Text::PracticeFolder, m_practiceFolderEdit, u"練習用データファイルのパス"},
        {Settings::Text::LogFolder, m_logFolderEdit, u"ログファイルのパス"},
        {Settings::Text::LogName, m_logNameEdit, u"ログファイルの名前"},
        {Settings::Text::PassLogFolder, m_passLogFolderEdit, u"合格ログファイルのパス"},
        {Settings::Text::PassLogName, m_passLogNameEdit, u"合格ログファイルの名前"},
    };
    for (const auto& entry : texts) {
        if (!m_settings.storesWhole(entry.text, entry.edit->text())) {
            reportTooLong(QString::fromUtf16(entry.field));
            if (entry.edit->isEnabled())
                entry.edit->setFocus();
            return false;
        }
    }
    return true;
}

void SettingsDialog::confirm()
{
    // Nothing changes unless every text can be saved whole.
    if (!textsFitSettingsFile())
        return;

    using NumericText::leadingValue;
    auto whole = [](const QLabel* label) {
        return NumericText::toInt16(leadingValue(label->text())).value_or(0);
    };
    Settings& settings = m_settings;

    settings.setCanChangeDuration(m_changeDurationOptions[0]->isChecked());
    settings.setPracticeFolder(m_practiceFolderEdit->text());
    settings.setCertificationFolder(m_certificationFolderEdit->text());
    settings.setDurationMinutes(whole(m_durationLabel));

    settings.setLogName(m_logNameEdit->text());
    settings.setLogFolder(m_logFolderEdit->text());
    settings.setPassSpeed(whole(m_passSpeedLabel));
    settings.setPassLogEnabled(m_passLogOptions[0]->isChecked());
    settings.setPassLogName(m_passLogNameEdit->text());
    settings.setPassLogFolder(m_passLogFolderEdit->text());
    settings.keepPassLogApart();

    const int paper = selectedOption(m_paperOptions);
    if (paper >= 0)
        settings.setPaperSize(paperSizeAt(paper));

    // A box that names no colour keeps none; an empty one means the default, as in the file.
    using SettingsText::toColor;
    settings.setBackColor(toColor(m_backColorEdit->text(), SettingDefaults::BackColor));
    settings.setBackgroundMode(BackgroundMode(m_backgroundModeBox->currentIndex()));
    settings.setProblemBackColor(
        toColor(m_problemBackColorEdit->text(), SettingDefaults::ProblemBackColor));
    settings.setProblemColor(toColor(m_problemColorEdit->text(), SettingDefaults::ProblemColor));

    settings.setProblemOrder(problemOrderAt(selectedOption(m_orderOptions)));
    settings.setRankingShowsRepeats(!m_rankingOptions[0]->isChecked());

    settings.setBaseFontSize(float(leadingValue(m_baseFontLabel->text())));
    settings.setRowGapFontSize(float(leadingValue(m_rowGapLabel->text())));
    settings.setResultFontSize(float(leadingValue(m_resultFontLabel->text())));
    settings.setWindowPercent(whole(m_windowPercentLabel));

    if (settings.save()) {
        showMessage(QStringLiteral("ＩＮＩファイルに書き出しました"), MessageButtons::Ok,
                    QStringLiteral("成功"));
    } else {
        showMessage(QStringLiteral("INIファイルの書き出しに失敗しました。") + u'\r' +
                        QStringLiteral("終了後、ＩＮＩファイルの内容を確認してください。"),
                    MessageButtons::Ok, QStringLiteral("失敗"), MessageIcon::Critical);
    }
    done(Accepted);
}

void SettingsDialog::cancel()
{
    done(Rejected);
}

void SettingsDialog::keyPressEvent(QKeyEvent* event)
{
    if (!DialogKeys::handle(this, event, [this] { cancel(); }))
        QDialog::keyPressEvent(event);
}
