#include "platform/WindowFollow.h"

#include <QMouseEvent>
#include <QTest>
#include <QWidget>

// The input window follows the problem window once a drag ends, never on a resize.
class tst_WindowFollow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void followsAfterAMoveEnds();
    void doesNotFollowDuringTheDrag();
    void resizeAloneMovesNothing();
    void draggingTheFollowerMovesNothingElse();
    void removedHookNoLongerFollows();
    void installingTwiceIsHarmless();

private:
    void release(QWidget* window)
    {
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5),
                       window->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(window, &up);
    }

    QWidget* m_parent = nullptr;
    QWidget* m_leader = nullptr;
    QWidget* m_follower = nullptr;
    WindowFollow* m_follow = nullptr;
};

void tst_WindowFollow::init()
{
    m_parent = new QWidget;
    m_parent->resize(800, 600);
    m_leader = new QWidget(m_parent);
    m_leader->setGeometry(10, 10, 300, 200);
    m_follower = new QWidget(m_parent);
    m_follower->setGeometry(10, 210, 300, 100);
    m_parent->show();
    m_follow = new WindowFollow(m_parent);
    m_follow->install(m_leader, m_follower);
}

void tst_WindowFollow::cleanup() { delete m_parent; }

void tst_WindowFollow::followsAfterAMoveEnds()
{
    m_leader->move(100, 50);
    release(m_leader);
    QCOMPARE(m_follower->pos(), QPoint(100, 250));
    QCOMPARE(m_follower->size(), QSize(300, 100));
}

void tst_WindowFollow::doesNotFollowDuringTheDrag()
{
    m_leader->move(40, 40);
    m_leader->move(60, 60);
    QCOMPARE(m_follower->pos(), QPoint(10, 210));
    release(m_leader);
    QCOMPARE(m_follower->pos(), QPoint(60, 260));
    // Once done, a further release alone moves nothing.
    m_follower->move(0, 0);
    release(m_leader);
    QCOMPARE(m_follower->pos(), QPoint(0, 0));
}

void tst_WindowFollow::resizeAloneMovesNothing()
{
    m_leader->resize(400, 260);
    release(m_leader);
    QCOMPARE(m_follower->pos(), QPoint(10, 210));
}

void tst_WindowFollow::draggingTheFollowerMovesNothingElse()
{
    m_follower->move(200, 300);
    release(m_follower);
    QCOMPARE(m_leader->pos(), QPoint(10, 10));
    QCOMPARE(m_follower->pos(), QPoint(200, 300));
}

void tst_WindowFollow::removedHookNoLongerFollows()
{
    m_follow->remove();
    QVERIFY(!m_follow->isInstalled());
    m_leader->move(100, 50);
    release(m_leader);
    QCOMPARE(m_follower->pos(), QPoint(10, 210));
}

void tst_WindowFollow::installingTwiceIsHarmless()
{
    m_follow->install(m_leader, m_follower);
    m_leader->move(30, 30);
    release(m_leader);
    QCOMPARE(m_follower->pos(), QPoint(30, 230));
    m_follow->remove();
    m_leader->move(70, 70);
    release(m_leader);
    QCOMPARE(m_follower->pos(), QPoint(30, 230));
}

QTEST_MAIN(tst_WindowFollow)
#include "tst_WindowFollow.moc"
