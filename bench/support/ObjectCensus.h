#pragma once

#include <QObject>

#include <atomic>
#include <thread>
#include <unordered_set>

// Counts the QObjects alive in the process through Qt's construction and destruction
// hooks, which see every object on every thread, parentless ones included (a walk of
// object trees would miss exactly those, and a leaked object usually has no parent).
// Qt answers for active timers only per object, so the census also remembers the
// objects of the thread that created it and asks the event dispatcher about each.
// One census at a time; it chains to any hook that was installed before it.
class ObjectCensus
{
public:
    ObjectCensus();
    ~ObjectCensus();
    ObjectCensus(const ObjectCensus&) = delete;
    ObjectCensus& operator=(const ObjectCensus&) = delete;

    // Objects constructed on any thread since the census began, less those destroyed
    // since (whenever they were constructed).
    int liveObjects() const;

    // Qt timers registered on this thread's event dispatcher by objects that were
    // constructed on this thread since the census began.
    int activeTimers();

private:
    // An object of this thread destroyed on another one (Qt's network code builds objects
    // here and moves them to its own thread), on its way back to be forgotten.
    struct Departed
    {
        QObject* object;
        Departed* next;
    };

    static void objectAdded(QObject* object);
    static void objectRemoved(QObject* object);
    // Forgets the objects that were destroyed on other threads.
    void forgetDeparted();

    static ObjectCensus* s_current;

    std::thread::id m_thread;
    std::unordered_set<QObject*> m_objects;
    // Pushed by other threads without a lock, taken whole by this one.
    std::atomic<Departed*> m_departed {nullptr};
    quintptr m_previousAdd = 0;
    quintptr m_previousRemove = 0;
};
