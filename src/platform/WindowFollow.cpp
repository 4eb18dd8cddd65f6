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
    m_moving = false;
    leader->installEventFilter(this);
}

void WindowFollow::remove()
{
    if (m_leader)
        m_leader->removeEventFilter(this);
    m_leader = nullptr;
    m_follower = nullptr;
    m_moving = false;
}

bool WindowFollow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_leader) {
        switch (event->type()) {
        case QEvent::Move:
            m_moving = true;
            break;
        // The end of a drag: the mouse lets go of the frame, or a keyboard move is confirmed.
        case QEvent::MouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::KeyRelease:
            if (m_moving)
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
    m_moving = false;
    if (!m_leader || !m_follower)
        return;
    const QRect leader = m_leader->geometry();
    m_follower->move(leader.left(), leader.top() + leader.height());
}
