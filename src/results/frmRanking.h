#pragma once

#include "ElidedLabel.h"
#include "clsRanking.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;

// The ten best results of the main log.
class frmRanking : public QDialog, public RankBoard
{
    Q_OBJECT
public:
    static frmRanking& instance();

    void Form_Load();
    void cmdReturn_Click();
    // Loads the window and shows it modally.
    int showModal();

    void setRankRow(int row, const RankRowText& texts) override;

    QList<QLabel*> lblNum;
    QLabel* lblUserIDTitle = nullptr;
    QLabel* lblUserNameTitle = nullptr;
    QLabel* lblDateTitle = nullptr;
    QLabel* lblSpeedTitle = nullptr;
    QLabel* lblSeidaTitle = nullptr;
    QLabel* lblTimeTitle = nullptr;
    QList<ElidedLabel*> lblUserID;
    QList<ElidedLabel*> lblUserName;
    QList<QLabel*> lblDate;
    QList<QLabel*> lblSpeed;
    QList<QLabel*> lblSeida;
    QList<QLabel*> lblTime;
    QPushButton* cmdReturn = nullptr;

private:
    frmRanking();
};
