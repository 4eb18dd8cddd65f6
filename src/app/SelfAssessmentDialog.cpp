#include "SelfAssessmentDialog.h"

#include "platform/CenterWindow.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "results/RunRecord.h"
#include "settings/ChooserArt.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

SelfAssessmentDialog::SelfAssessmentDialog(RunRecord& record, QWidget* parent)
    : QDialog(parent), m_record(record)
{
    setObjectName(QStringLiteral("SelfAssessmentDialog"));
    setWindowTitle(QStringLiteral("確認です。あなたはどれに当てはまりますか？"));
    setFont(Fonts::proportional(11));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QButtonGroup(this);
    const QStringList captions{QStringLiteral("タイピングには自信がある！練習はもう十分！"),
                               QStringLiteral("大体は合格するぐらいのレベルはなった"),
                               QStringLiteral("練習もしていないし、キーボード打つのも苦手")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions.at(i), this);
        option->setObjectName(QStringLiteral("answerButton%1").arg(i));
        group->addButton(option, i);
        option->installEventFilter(this);
        layout->addWidget(option);
        m_answerButtons.append(option);
    }
    m_okButton = ChooserArt::okButton(this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    layout->addWidget(m_okButton, 0, Qt::AlignRight);
    connect(m_okButton, &QPushButton::clicked, this, &SelfAssessmentDialog::confirm);
}

int SelfAssessmentDialog::exec()
{
    prepare();
    return QDialog::exec();
}

void SelfAssessmentDialog::prepare()
{
    m_answerButtons.at(2)->setChecked(true);
    m_answerButtons.at(2)->setFocus();
}

void SelfAssessmentDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    fitAndCenter();
}

void SelfAssessmentDialog::fitAndCenter()
{
    adjustSize();
    // The title is the question itself: window managers cut a title wider than the window.
    // Room for the window's icon and its three buttons comes on top.
    constexpr int titleBarButtons = 120;
    QFont titleFont = font();
    titleFont.setBold(true);
    const int titleWidth =
        QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + titleBarButtons;
    if (width() < titleWidth)
        resize(titleWidth, height());
    centerWindow(this, QStringLiteral("center"));
}

void SelfAssessmentDialog::confirm()
{
    if (m_answerButtons.at(2)->isChecked()) {
        showMessage(
            QStringLiteral("それでは、まず練習してみてください。形式は本番と同じなので合格範囲内に"
                           "なったら検定を受けてください"));
        m_record.setCertification(false);
    }
    accept();
}

void SelfAssessmentDialog::chooseAndConfirm(int index)
{
    m_answerButtons.at(index)->setChecked(true);
    confirm();
}

bool SelfAssessmentDialog::eventFilter(QObject* watched, QEvent* event)
{
    const int index = int(m_answerButtons.indexOf(static_cast<QRadioButton*>(watched)));
    if (index >= 0) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            chooseAndConfirm(index);
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                confirm();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
