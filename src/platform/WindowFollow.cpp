#include "WindowFollow.h"

#include <QEvent>
#include <QWidget>

WindowFollow::WindowFollow(QObject* parent) : QObject(parent) {}

void WindowFollow::install(QWidget* leader, QWidget* follower)
{
    if (isInstalled() || !leader || !follower)
        return;
    m_leader = leader;
    m_follower = follower;
    m_leaderMoved = false;
    leader->installEventFilter(this);
}

void WindowFollow::remove()
{
    if (m_leader)
        m_leader->removeEventFilter(this);
    m_leader = nullptr;
    m_follower = nullptr;
    m_leaderMoved = false;
}

bool WindowFollow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_leader) {
        switch (event->type()) {
        case QEvent::Move:
            m_leaderMoved = true;
            break;
        // The end of a drag: the mouse lets go of the frame, or a keyboard move is confirmed.
        case QEvent::MouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::KeyRelease:
            if (m_leaderMoved)
                follow();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowFollow::follow()
{
    m_leaderMoved = false;
    if (!m_leader || !m_follower)
        return;
    const QRect leaderFrame = m_leader->geometry();
    m_follower->move(leaderFrame.left(), leaderFrame.top() + leaderFrame.height());
}
