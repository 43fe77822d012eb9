#include "ObjectCensus.h"

#include <QAbstractEventDispatcher>

// Qt's hook table, exported by QtCore for debugging tools: every QObject constructor
// calls the function in slot 3 with the new object, every destructor the one in slot 4.
extern Q_DECL_IMPORT quintptr qtHookData[];

namespace {

constexpr int addObjectHook = 3;
constexpr int removeObjectHook = 4;
using ObjectHook = void (*)(QObject*);

// The hooks run on whichever thread builds or destroys an object.
std::atomic<int> liveCount {0};

} // namespace

ObjectCensus* ObjectCensus::s_current = nullptr;

ObjectCensus::ObjectCensus()
    : m_thread(std::this_thread::get_id())
{
    liveCount = 0;
    s_current = this;
    m_previousAdd = std::exchange(qtHookData[addObjectHook], reinterpret_cast<quintptr>(&objectAdded));
    m_previousRemove = std::exchange(qtHookData[removeObjectHook], reinterpret_cast<quintptr>(&objectRemoved));
}

ObjectCensus::~ObjectCensus()
{
    qtHookData[addObjectHook] = m_previousAdd;
    qtHookData[removeObjectHook] = m_previousRemove;
    s_current = nullptr;
    forgetDeparted();
}

int ObjectCensus::liveObjects() const
{
    return liveCount.load(std::memory_order_relaxed);
}

int ObjectCensus::activeTimers()
{
    forgetDeparted();
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    qsizetype count = 0;
    for (QObject* object : m_objects)
        count += dispatcher->registeredTimers(object).size();
    return static_cast<int>(count);
}

void ObjectCensus::forgetDeparted()
{
    for (Departed* departed = m_departed.exchange(nullptr, std::memory_order_acquire); departed;) {
        m_objects.erase(departed->object);
        delete std::exchange(departed, departed->next);
    }
}

void ObjectCensus::objectAdded(QObject* object)
{
    liveCount.fetch_add(1, std::memory_order_relaxed);
    if (std::this_thread::get_id() == s_current->m_thread) {
        // A new object may take the address of one that died elsewhere: forget that one first.
        s_current->forgetDeparted();
        s_current->m_objects.insert(object);
    }
    if (s_current->m_previousAdd)
        reinterpret_cast<ObjectHook>(s_current->m_previousAdd)(object);
}

void ObjectCensus::objectRemoved(QObject* object)
{
    liveCount.fetch_sub(1, std::memory_order_relaxed);
    if (std::this_thread::get_id() == s_current->m_thread) {
        s_current->m_objects.erase(object);
    } else {
        auto* departed = new Departed {object, s_current->m_departed.load(std::memory_order_relaxed)};
        while (!s_current->m_departed.compare_exchange_weak(
            departed->next, departed, std::memory_order_release, std::memory_order_relaxed)) { }
    }
    if (s_current->m_previousRemove)
        reinterpret_cast<ObjectHook>(s_current->m_previousRemove)(object);
}
