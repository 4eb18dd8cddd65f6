#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Keeps one window under another: when the user drags the leader and lets go, the follower
// jumps to the leader's lower-left corner once. A resize alone moves nothing.
class WindowFollow : public QObject
{
    Q_OBJECT
public:
    explicit WindowFollow(QObject* parent = nullptr);

    // Installing while installed, or removing while removed, does nothing.
    void install(QWidget* leader, QWidget* follower);
    void remove();
    bool isInstalled() const { return !m_leader.isNull(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();

    QPointer<QWidget> m_leader;
    QPointer<QWidget> m_follower;
    bool m_leaderMoved = false; // since the last time the follower caught up
};
