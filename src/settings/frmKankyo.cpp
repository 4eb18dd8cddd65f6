#include "frmKankyo.h"

#include "ColorLiteral.h"
#include "app/CenterForm.h"
#include "app/modPelko.h"
#include "cColor.h"
#include "clsKankyo.h"
#include "common/NumericText.h"
#include "frmDir.h"
#include "frmFile.h"
#include "frmLogStyle.h"
#include "platform/DialogKeys.h"
#include "platform/MessageService.h"

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

using namespace KankyoRules;

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
    auto* v = new QScrollBar(Qt::Vertical, parent);
    v->setRange(bar.Min, bar.Max);
    v->setSingleStep(bar.SmallChange);
    v->setPageStep(bar.LargeChange);
    v->setFocusPolicy(Qt::StrongFocus);
    v->setAccessibleName(name);
    v->setMinimumHeight(v->fontMetrics().height() * 5 / 2);
    return v;
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

QGroupBox* group(const QString& caption, QWidget* parent)
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

frmKankyo& frmKankyo::instance()
{
    static frmKankyo* form = new frmKankyo;
    return *form;
}

frmKankyo::frmKankyo() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("frmKankyo"));
    setWindowTitle(QStringLiteral("環境設定"));
    setModal(true);
    // A size smaller than the program's own: the dialog holds every setting and must still
    // fit a 1024 x 768 screen.
    QFont smaller = font();
    smaller.setPointSizeF(std::max(8.0, smaller.pointSizeF() - 1));
    setFont(smaller);
    buildControls();
    connectControls();
}

void frmKankyo::buildControls()
{
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_content = new QWidget;
    QWidget* c = m_content;
    const QFontMetrics fm(font());
    const int pathWidth = fm.averageCharWidth() * 26;

    lblHeader = new QLabel(QStringLiteral("ＰＥＬＫＯの環境を設定します"), c);
    QFont headerFont = lblHeader->font();
    headerFont.setPointSizeF(headerFont.pointSizeF() * 1.4);
    headerFont.setBold(true);
    lblHeader->setFont(headerFont);

    // Groups are created column by column, top to bottom, so Tab walks them in that order.

    // First column: time, speed, order, paper, ranking.
    auto* fraLastTime = group(QStringLiteral("制限時間"), c);
    vscLastTime = makeBar(fraLastTime, LastTimeBar, QStringLiteral("制限時間"));
    lblLastTime = makeValueLabel(fraLastTime, QStringLiteral("000"));
    lblfun = new QLabel(QStringLiteral("分"), fraLastTime);
    addBarRow(new QGridLayout(fraLastTime), 0, nullptr, vscLastTime, lblLastTime, lblfun);

    auto* fraChangeTime = group(QStringLiteral("制限時間変更許可"), c);
    optChangeTime[0] = new QRadioButton(QStringLiteral("許可"), fraChangeTime);
    optChangeTime[1] = new QRadioButton(QStringLiteral("不可"), fraChangeTime);
    lblChangeTime = new QLabel(QStringLiteral("※検定モードのみ"), fraChangeTime);
    {
        auto* g = new QGridLayout(fraChangeTime);
        g->addWidget(optChangeTime[0], 0, 0);
        g->addWidget(optChangeTime[1], 0, 1);
        g->addWidget(lblChangeTime, 1, 0, 1, 2);
    }

    auto* fraSpeed = group(QStringLiteral("合格ライン"), c);
    vscSpeed = makeBar(fraSpeed, SpeedBar, QStringLiteral("合格ライン"));
    lblSpeed = makeValueLabel(fraSpeed, QStringLiteral("0000"));
    lblSpeedLabel = new QLabel(QStringLiteral("文字／分"), fraSpeed);
    addBarRow(new QGridLayout(fraSpeed), 0, nullptr, vscSpeed, lblSpeed, lblSpeedLabel);

    auto* fraRandom = group(QStringLiteral("例題順序（練習時のみ有効）"), c);
    {
        auto* v = new QVBoxLayout(fraRandom);
        const char16_t* captions[] = {u"ランダム", u"順番", u"選択"};
        for (int i = 0; i < 3; ++i) {
            optRandom[i] = new QRadioButton(QString::fromUtf16(captions[i]), fraRandom);
            v->addWidget(optRandom[i]);
        }
    }

    auto* fraPaper = group(QStringLiteral("認定証の用紙サイズ"), c);
    {
        auto* g = new QGridLayout(fraPaper);
        const char16_t* captions[] = {u"A4", u"B4", u"B5"};
        for (int i = 0; i < 3; ++i) {
            optPaper[i] = new QRadioButton(QString::fromUtf16(captions[i]), fraPaper);
            g->addWidget(optPaper[i], 0, i);
        }
        lblPrinterAssert =
            new QLabel(QStringLiteral("※B4,B5が使えないプリンタでは無効です"), fraPaper);
        lblPrinterAssert->setWordWrap(true);
        g->addWidget(lblPrinterAssert, 1, 0, 1, 3);
    }

    auto* fraRanking = group(QStringLiteral("ランキング表示形式"), c);
    {
        auto* v = new QVBoxLayout(fraRanking);
        optRanking[0] = new QRadioButton(QStringLiteral("IDの重複なし"), fraRanking);
        optRanking[1] = new QRadioButton(QStringLiteral("無条件"), fraRanking);
        v->addWidget(optRanking[0]);
        v->addWidget(optRanking[1]);
    }

    // Second column: folders and log names.
    auto folderGroup = [&](const QString& caption, std::array<QRadioButton*, 2>& opt,
                           QCheckBox*& chk, QLineEdit*& txt, int sansyo) {
        auto* box = group(caption, c);
        opt[0] = new QRadioButton(QStringLiteral("デフォルト:"), box);
        chk = new QCheckBox(box);
        opt[1] = new QRadioButton(QStringLiteral("その他"), box);
        txt = new QLineEdit(box);
        txt->setMinimumWidth(pathWidth);
        txt->setAccessibleName(caption);
        cmdSansyo[sansyo] = makeButton(QStringLiteral("参照"), box);
        auto* g = new QGridLayout(box);
        g->addWidget(opt[0], 0, 0);
        g->addWidget(chk, 0, 1, 1, 2);
        g->addWidget(opt[1], 1, 0);
        g->addWidget(txt, 1, 1);
        g->addWidget(cmdSansyo[sansyo], 1, 2);
        g->setColumnStretch(1, 1);
        return box;
    };
    auto nameGroup = [&](const QString& caption, const QString& defaultCaption,
                         std::array<QRadioButton*, 2>& opt, QLineEdit*& txt, int file) {
        auto* box = group(caption, c);
        opt[0] = new QRadioButton(defaultCaption, box);
        opt[1] = new QRadioButton(QStringLiteral("その他"), box);
        txt = new QLineEdit(box);
        txt->setAccessibleName(caption);
        cmdFile[file] = makeButton(QStringLiteral("参照"), box);
        auto* g = new QGridLayout(box);
        g->addWidget(opt[0], 0, 0, 1, 3);
        g->addWidget(opt[1], 1, 0);
        g->addWidget(txt, 1, 1);
        g->addWidget(cmdFile[file], 1, 2);
        g->setColumnStretch(1, 1);
        return box;
    };
    auto* fraFilePath = folderGroup(QStringLiteral("本番用ファイルのパス"), optFilePath,
                                    chkDataPath, txtFilePath, 0);
    auto* fraTestFilePath = folderGroup(QStringLiteral("練習用データファイルのパス"),
                                        optTestFilePath, chkDefaultPlactice, txtTestFilePath, 3);
    auto* fraLogPath =
        folderGroup(QStringLiteral("ログファイルのパス"), optLogPath, chkLogPath, txtLogpath, 1);
    auto* fraLogName =
        nameGroup(QStringLiteral("ログファイルの名前"), QStringLiteral("デフォルト(PELKO.LOG)"),
                  optLogName, txtLogName, 0);
    auto* fraSubLogPath = folderGroup(QStringLiteral("合格ログファイルのパス"), optSubLogPath,
                                      chkSubLogPath, txtSubLogPath, 2);
    auto* fraSubLogName =
        nameGroup(QStringLiteral("合格ログファイルの名前"), QStringLiteral("デフォルト(PKSUB.LOG)"),
                  optSubLogName, txtSubLogName, 1);

    // Third column: colours, window size, font sizes.
    auto* fraBack = group(QStringLiteral("背景"), c);
    {
        auto* g = new QGridLayout(fraBack);
        auto colorRow = [&](int row, QLabel*& label, const QString& caption, QLineEdit*& txt,
                            QPushButton*& button) {
            label = new QLabel(caption, fraBack);
            txt = new QLineEdit(fraBack);
            txt->setAccessibleName(caption);
            txt->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("&HFFFFFF")) +
                                 fm.averageCharWidth() * 3);
            button = makeButton(QStringLiteral("選択"), fraBack);
            label->setBuddy(txt);
            g->addWidget(label, row, 0);
            g->addWidget(txt, row, 1);
            g->addWidget(button, row, 2);
        };
        colorRow(0, Label1, QStringLiteral("背景色"), txtBackColor, cmdBackColor);
        Label2 = new QLabel(QStringLiteral("背景状態"), fraBack);
        cboBackMode = new QComboBox(fraBack);
        cboBackMode->addItem(QStringLiteral("通常"));
        cboBackMode->addItem(QStringLiteral("最大"));
        cboBackMode->setAccessibleName(QStringLiteral("背景状態"));
        Label2->setBuddy(cboBackMode);
        g->addWidget(Label2, 1, 0);
        g->addWidget(cboBackMode, 1, 1, 1, 2);
        colorRow(2, Label3, QStringLiteral("問題背景色"), txtProblemBackColor, cmdProblemBackColor);
        colorRow(3, Label4, QStringLiteral("問題文字色"), txtProblemColor, cmdProblemColor);
    }

    frmWindowSize = group(QStringLiteral("画面サイズ"), c);
    frmWindowSize->setObjectName(QStringLiteral("frmWindowSize"));
    Label10 = new QLabel(QStringLiteral("モニターの"), frmWindowSize);
    vscWindowSize = makeBar(frmWindowSize, WindowSizeBar, QStringLiteral("画面サイズ"));
    lblWindowSize = makeValueLabel(frmWindowSize, QStringLiteral("000"));
    Label6 = new QLabel(QStringLiteral("%"), frmWindowSize);
    addBarRow(new QGridLayout(frmWindowSize), 0, Label10, vscWindowSize, lblWindowSize, Label6);

    auto fontGroup = [&](const QString& caption, const Bar& bar, QScrollBar*& vsc, QLabel*& value,
                         QLabel*& unit) {
        auto* box = group(caption, c);
        vsc = makeBar(box, bar, caption);
        value = makeValueLabel(box, QStringLiteral("00.0"));
        unit = new QLabel(QStringLiteral("Point"), box);
        addBarRow(new QGridLayout(box), 0, nullptr, vsc, value, unit);
        return box;
    };
    auto* fraBaseFont =
        fontGroup(QStringLiteral("文字サイズ"), BaseFontBar, vscBaseFont, lblBaseFont, Label5);
    auto* fraReturnFont =
        fontGroup(QStringLiteral("行間"), ReturnFontBar, vscReturnFont, lblReturnFont, Label8);
    auto* fraResultFont = fontGroup(QStringLiteral("結果文字ｻｲｽﾞ"), ResultFontBar, vscResultFont,
                                    lblResultFont, Label7);

    auto* fraSubLog = group(QStringLiteral("合格ログの記録"), c);
    {
        optSubLog[0] = new QRadioButton(QStringLiteral("する"), fraSubLog);
        optSubLog[1] = new QRadioButton(QStringLiteral("しない"), fraSubLog);
        cmdLogstyle = makeButton(QStringLiteral("ログ形式"), fraSubLog);
        auto* h = new QHBoxLayout(fraSubLog);
        h->addWidget(optSubLog[0]);
        h->addWidget(optSubLog[1]);
        h->addStretch();
        h->addWidget(cmdLogstyle);
    }

    cmdOk = makeButton(QStringLiteral("保存して終了"), this);
    cmdCancel = makeButton(QStringLiteral("保存せず終了"), this);

    auto* columns = new QHBoxLayout;
    auto column = [&](std::initializer_list<QWidget*> boxes) {
        auto* v = new QVBoxLayout;
        for (QWidget* box : boxes)
            v->addWidget(box);
        v->addStretch();
        columns->addLayout(v);
    };
    column({fraLastTime, fraChangeTime, fraSpeed, fraRandom, fraPaper, fraRanking});
    column({fraFilePath, fraTestFilePath, fraLogPath, fraLogName, fraSubLogPath, fraSubLogName});
    // The pass-log switch sits under the pictures' groups: the folder column is the tallest.
    column({fraBack, frmWindowSize, fraBaseFont, fraReturnFont, fraResultFont, fraSubLog});
    columns->setStretch(1, 1);

    // Tight groups: the folder column has to fit a 768-pixel screen with the program's font.
    for (QGroupBox* box : c->findChildren<QGroupBox*>()) {
        const int side = box->fontMetrics().averageCharWidth();
        box->layout()->setContentsMargins(side, side / 2, side, side / 2);
        box->layout()->setSpacing(side / 2);
    }
    columns->setSpacing(fm.averageCharWidth());

    auto* contentLayout = new QVBoxLayout(c);
    contentLayout->addWidget(lblHeader);
    contentLayout->addLayout(columns);
    m_scroll->setWidget(c);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(m_scroll, 1);
    outer->addLayout(buttons);
}

void frmKankyo::connectControls()
{
    auto onSelect = [this](QRadioButton* option, auto handler, int index) {
        connect(option, &QRadioButton::toggled, this, [this, handler, index](bool on) {
            if (on)
                (this->*handler)(index);
        });
    };
    for (int i = 0; i < 2; ++i) {
        onSelect(optFilePath[i], &frmKankyo::optFilePath_Click, i);
        onSelect(optTestFilePath[i], &frmKankyo::optTestFilePath_Click, i);
        onSelect(optLogPath[i], &frmKankyo::optLogPath_Click, i);
        onSelect(optSubLogPath[i], &frmKankyo::optSubLogPath_Click, i);
        onSelect(optLogName[i], &frmKankyo::optLogName_Click, i);
        onSelect(optSubLogName[i], &frmKankyo::optSubLogName_Click, i);
        onSelect(optSubLog[i], &frmKankyo::optSubLog_Click, i);
    }
    // The check boxes mark the default option and select it when clicked.
    const std::pair<QCheckBox*, void (frmKankyo::*)()> captions[] = {
        {chkDataPath, &frmKankyo::chkDataPath_Click},
        {chkDefaultPlactice, &frmKankyo::chkDefaultPlactice_Click},
        {chkLogPath, &frmKankyo::chkLogPath_Click},
        {chkSubLogPath, &frmKankyo::chkSubLogPath_Click}};
    for (const auto& [chk, handler] : captions)
        connect(chk, &QCheckBox::clicked, this, handler);
    for (const Folder f : {Practice, Data, Log, SubLog}) {
        const FolderControls fc = folderControls(f);
        connect((*fc.opt)[0], &QRadioButton::toggled, fc.chk, &QCheckBox::setChecked);
    }

    connect(cboBackMode, &QComboBox::currentIndexChanged, this, &frmKankyo::cboBackMode_Click);
    connect(vscLastTime, &QScrollBar::valueChanged, this, &frmKankyo::vscLastTime_Change);
    connect(vscSpeed, &QScrollBar::valueChanged, this, &frmKankyo::vscSpeed_Change);
    connect(vscWindowSize, &QScrollBar::valueChanged, this, &frmKankyo::vscWindowSize_Change);
    connect(vscBaseFont, &QScrollBar::valueChanged, this, &frmKankyo::vscBaseFont_Change);
    connect(vscReturnFont, &QScrollBar::valueChanged, this, &frmKankyo::vscReturnFont_Change);
    connect(vscResultFont, &QScrollBar::valueChanged, this, &frmKankyo::vscResultFont_Change);
    for (int i = 0; i < 4; ++i)
        connect(cmdSansyo[i], &QPushButton::clicked, this, [this, i] { cmdSansyo_Click(i); });
    for (int i = 0; i < 2; ++i)
        connect(cmdFile[i], &QPushButton::clicked, this, [this, i] { cmdFile_Click(i); });
    connect(cmdLogstyle, &QPushButton::clicked, this, &frmKankyo::cmdLogstyle_Click);
    connect(cmdBackColor, &QPushButton::clicked, this, &frmKankyo::cmdBackColor_Click);
    connect(cmdProblemBackColor, &QPushButton::clicked, this,
            &frmKankyo::cmdProblemBackColor_Click);
    connect(cmdProblemColor, &QPushButton::clicked, this, &frmKankyo::cmdProblemColor_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmKankyo::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmKankyo::cmdCancel_Click);
}

frmKankyo::FolderControls frmKankyo::folderControls(Folder folder)
{
    switch (folder) {
    case Practice:
        return {&optTestFilePath, chkDefaultPlactice, txtTestFilePath, cmdSansyo[3]};
    case Data:
        return {&optFilePath, chkDataPath, txtFilePath, cmdSansyo[0]};
    case Log:
        return {&optLogPath, chkLogPath, txtLogpath, cmdSansyo[1]};
    case SubLog:
    default:
        return {&optSubLogPath, chkSubLogPath, txtSubLogPath, cmdSansyo[2]};
    }
}

int frmKankyo::showModal()
{
    Form_Load();
    show();
    // Shown, the controls know their real sizes: fit the dialog to them again.
    fitToScreen();
    Form_Activate();
    // The first check may already have closed the dialog.
    if (!isVisible())
        return result();
    return exec();
}

void frmKankyo::fitToScreen()
{
    // Sizes are only right once the style has polished every control.
    ensurePolished();
    m_content->ensurePolished();
    m_content->layout()->activate();
    const QSize content = m_content->sizeHint();
    const QMargins margins = layout()->contentsMargins();
    const int buttonsHeight = cmdOk->sizeHint().height() + layout()->spacing();
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

void frmKankyo::Form_Load()
{
    // 1. Defaults and the remembered custom colours.
    m_defaults[Practice] = defaultPracticeFolder();
    m_defaults[Data] = defaultDataFolder();
    m_defaults[Log] = clsKankyo::defaultLogFolder();
    m_defaults[SubLog] = clsKankyo::defaultLogFolder();
    m_customColors = initialCustomColors();

    clsKankyo& k = *objKankyo;
    // 2, 3. Practice and certification folders.
    loadFolder(Practice, k.TestFilepath());
    loadFolder(Data, k.Filepath());

    // 4. Duration and whether it may change.
    vscLastTime->setValue(positionFor(LastTimeBar, k.LastTime()));
    vscLastTime_Change();
    selectOption(optChangeTime, k.ChangeTime() ? 0 : 1);

    // 5. Pass speed: below 1 shows as 1.
    vscSpeed->setValue(positionFor(SpeedBar, k.Speed()));
    vscSpeed_Change();

    // 6. Main log folder and name; the name always counts as "その他".
    loadFolder(Log, k.LogPath());
    txtLogName->setText(k.LogName());
    selectOption(optLogName, 1);
    optLogName_Click(1);

    // 7. Pass log.
    selectOption(optSubLog, k.SubLog() ? 0 : 1);
    optSubLog_Click(k.SubLog() ? 0 : 1);
    loadFolder(SubLog, k.SubLogPath());
    txtSubLogName->setText(k.SubLogName());
    selectOption(optSubLogName, 1);
    optSubLogName_Click(1);

    // 8. Paper: any other size selects none.
    selectOption(optPaper, paperIndex(k.PaperSize()));

    // 9. Colours that are no colour value show the defaults.
    txtBackColor->setText(shownColorText(k.BackColor(), QStringLiteral("&HE0E0E0")));
    txtProblemBackColor->setText(shownColorText(k.ProblemBackColor(), QStringLiteral("&HFFFFFF")));
    txtProblemColor->setText(shownColorText(k.ProblemColor(), QStringLiteral("&H000000")));

    // 10. Background mode outside the list is reset in the settings themselves.
    if (k.BackMode() < 0 || k.BackMode() >= cboBackMode->count())
        k.setBackMode(0);
    {
        const QSignalBlocker block(cboBackMode);
        cboBackMode->setCurrentIndex(k.BackMode());
    }
    cboBackMode_Click();

    // 11, 12. Problem order and ranking form.
    selectOption(optRandom, sortIndex(k.SortMode()));
    selectOption(optRanking, k.RankingMode() ? 1 : 0);

    // 13. Font sizes.
    const std::tuple<QScrollBar*, QLabel*, const Bar*, float> fonts[] = {
        {vscBaseFont, lblBaseFont, &BaseFontBar, FontBase},
        {vscReturnFont, lblReturnFont, &ReturnFontBar, FontReturn},
        {vscResultFont, lblResultFont, &ResultFontBar, FontResult}};
    for (const auto& [vsc, label, bar, size] : fonts) {
        vsc->setValue(positionFor(*bar, size));
        label->setText(fontLabel(*bar, size));
    }

    // 14. Window size.
    vscWindowSize->setValue(positionFor(WindowSizeBar, k.WindowSize));
    vscWindowSize_Change();

    // 15. The check boxes name the default folders.
    chkDataPath->setText(m_defaults[Data]);
    chkDefaultPlactice->setText(m_defaults[Practice]);
    chkLogPath->setText(m_defaults[Log]);
    chkSubLogPath->setText(m_defaults[SubLog]);

    fitToScreen();
    m_scroll->ensureVisible(0, 0);
    vscLastTime->setFocus();
}

void frmKankyo::loadFolder(Folder folder, const QString& stored)
{
    folderControls(folder).txt->setText(stored);
    // Exact comparison: a different letter case counts as another folder.
    setFolderOption(folder, stored == m_defaults[folder] ? 0 : 1);
}

void frmKankyo::setFolderOption(Folder folder, int index)
{
    const FolderControls fc = folderControls(folder);
    selectOption(*fc.opt, index);
    fc.chk->setChecked(index == 0);
    fc.txt->setEnabled(index == 1);
    fc.sansyo->setEnabled(index == 1);
    if (index == 0)
        fc.txt->setText(m_defaults[folder]);
}

void frmKankyo::Form_Activate()
{
    CenterForm(this, QStringLiteral("center"));

    std::array<FolderGroup, FolderCount> groups;
    for (int f = 0; f < FolderCount; ++f) {
        const FolderControls fc = folderControls(Folder(f));
        groups[f].text = fc.txt->text();
        groups[f].option = (*fc.opt)[1]->isChecked() ? 1 : 0;
    }
    m_check.repaired = [this](Folder folder, const FolderGroup& g) {
        setFolderOption(folder, g.option);
        folderControls(folder).txt->setText(g.text);
    };
    const bool passed = m_check.run(groups, m_defaults);
    m_check.repaired = nullptr;
    if (!passed)
        done(Rejected);
}

void frmKankyo::optFilePath_Click(int Index)
{
    setFolderOption(Data, Index);
}
void frmKankyo::optTestFilePath_Click(int Index)
{
    setFolderOption(Practice, Index);
}
void frmKankyo::optLogPath_Click(int Index)
{
    setFolderOption(Log, Index);
}
void frmKankyo::optSubLogPath_Click(int Index)
{
    setFolderOption(SubLog, Index);
}

void frmKankyo::setNameOption(std::array<QRadioButton*, 2>& opt, QLineEdit* txt, QPushButton* file,
                              const QString& defaultName, int index)
{
    selectOption(opt, index);
    txt->setEnabled(index == 1);
    file->setEnabled(index == 1);
    if (index == 0)
        txt->setText(defaultName);
}

void frmKankyo::optLogName_Click(int Index)
{
    setNameOption(optLogName, txtLogName, cmdFile[0], QStringLiteral("pelko.log"), Index);
}

void frmKankyo::optSubLogName_Click(int Index)
{
    setNameOption(optSubLogName, txtSubLogName, cmdFile[1], QStringLiteral("pksub.log"), Index);
}

void frmKankyo::chkDataPath_Click()
{
    setFolderOption(Data, 0);
}
void frmKankyo::chkDefaultPlactice_Click()
{
    setFolderOption(Practice, 0);
}
void frmKankyo::chkLogPath_Click()
{
    setFolderOption(Log, 0);
}
void frmKankyo::chkSubLogPath_Click()
{
    setFolderOption(SubLog, 0);
}

void frmKankyo::optSubLog_Click(int Index)
{
    cmdLogstyle->setEnabled(Index == 0);
}

template <typename Show> void frmKankyo::runChild(Show show)
{
    show();
    if (isVisible())
        Form_Activate();
}

void frmKankyo::cmdLogstyle_Click()
{
    runChild([] { frmLogStyle::instance().showModal(); });
}

void frmKankyo::cboBackMode_Click()
{
    frmWindowSize->setVisible(cboBackMode->currentIndex() == 0);
}

void frmKankyo::vscLastTime_Change()
{
    lblLastTime->setText(labelAt(LastTimeBar, vscLastTime->value()));
}

void frmKankyo::vscSpeed_Change()
{
    lblSpeed->setText(labelAt(SpeedBar, vscSpeed->value()));
}

void frmKankyo::vscWindowSize_Change()
{
    lblWindowSize->setText(labelAt(WindowSizeBar, vscWindowSize->value()));
}

void frmKankyo::vscBaseFont_Change()
{
    lblBaseFont->setText(labelAt(BaseFontBar, vscBaseFont->value()));
}

void frmKankyo::vscReturnFont_Change()
{
    lblReturnFont->setText(labelAt(ReturnFontBar, vscReturnFont->value()));
}

void frmKankyo::vscResultFont_Change()
{
    lblResultFont->setText(labelAt(ResultFontBar, vscResultFont->value()));
}

void frmKankyo::cmdSansyo_Click(int Index)
{
    static constexpr Folder byIndex[4] = {Data, Log, SubLog, Practice};
    if (Index < 0 || Index > 3)
        return;
    QLineEdit* box = folderControls(byIndex[Index]).txt;
    runChild([box] {
        DirPath = box->text();
        frmDir::instance().showModal();
        if (!DirPath.isEmpty())
            box->setText(DirPath);
    });
}

void frmKankyo::cmdFile_Click(int Index)
{
    if (Index < 0 || Index > 1)
        return;
    QLineEdit* folder = Index == 0 ? txtLogpath : txtSubLogPath;
    QLineEdit* name = Index == 0 ? txtLogName : txtSubLogName;
    runChild([folder, name] {
        DirPath = folder->text();
        FileName = name->text();
        frmFile::instance().showModal();
        // Only the name is taken over, not the folder chosen there.
        if (!FileName.isEmpty())
            name->setText(FileName);
    });
}

void frmKankyo::pickColor(QLineEdit* box)
{
    cColor chooser;
    chooser.setPickedColor(colorValueOfBox(box->text()));
    for (int i = 0; i < 16; ++i)
        chooser.setCustomColorAt(i, m_customColors[i]);
    if (!chooser.PickColor(this, cColor::RgbInit | cColor::FullOpen))
        return;
    box->setText(ColorLiteral::fromBgr(quint32(chooser.PickedColor())));
    for (int i = 0; i < 16; ++i)
        m_customColors[i] = chooser.CustomColorAt(i);
}

void frmKankyo::cmdBackColor_Click()
{
    pickColor(txtBackColor);
}
void frmKankyo::cmdProblemBackColor_Click()
{
    pickColor(txtProblemBackColor);
}
void frmKankyo::cmdProblemColor_Click()
{
    pickColor(txtProblemColor);
}

void frmKankyo::cmdOk_Click()
{
    using NumericText::Val;
    auto whole = [](const QLabel* label) {
        return NumericText::toInt16(Val(label->text())).value_or(0);
    };
    clsKankyo& k = *objKankyo;

    k.setChangeTime(optChangeTime[0]->isChecked());
    k.setTestFilepath(txtTestFilePath->text());
    k.setFilepath(txtFilePath->text());
    k.setLastTime(whole(lblLastTime));

    k.setLogName(txtLogName->text());
    k.setLogPath(txtLogpath->text());
    k.setSpeed(whole(lblSpeed));
    k.setSubLog(optSubLog[0]->isChecked());
    k.setSubLogName(txtSubLogName->text());
    k.setSubLogPath(txtSubLogPath->text());

    const int paper = selectedOption(optPaper);
    if (paper >= 0)
        k.setPaperSize(paperSizeAt(paper));

    k.setBackColor(txtBackColor->text());
    k.setBackMode(qint16(cboBackMode->currentIndex()));
    k.setProblemBackColor(txtProblemBackColor->text());
    k.setProblemColor(txtProblemColor->text());

    k.setSortMode(sortModeAt(selectedOption(optRandom)));
    k.setRankingMode(!optRanking[0]->isChecked());

    FontBase = float(Val(lblBaseFont->text()));
    FontReturn = float(Val(lblReturnFont->text()));
    FontResult = float(Val(lblResultFont->text()));
    k.WindowSize = whole(lblWindowSize);

    if (k.SaveIni()) {
        MsgBox(QStringLiteral("ＩＮＩファイルに書き出しました"), MsgButtons::Ok,
               QStringLiteral("成功"));
    } else {
        MsgBox(QStringLiteral("INIファイルの書き出しに失敗しました。") + u'\r' +
                   QStringLiteral("終了後、ＩＮＩファイルの内容を確認してください。"),
               MsgButtons::Ok, QStringLiteral("失敗"), MsgIcon::Critical);
    }
    done(Accepted);
}

void frmKankyo::cmdCancel_Click()
{
    done(Rejected);
}

void frmKankyo::keyPressEvent(QKeyEvent* event)
{
    if (!DialogKeys::handle(this, event, [this] { cmdCancel_Click(); }))
        QDialog::keyPressEvent(event);
}
