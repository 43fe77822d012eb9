#pragma once

#include <QString>

// How far one operation on many threads has got, as the status line says it: "Marking
// 120 of 500 as read…" while replies come, "Marked 497 as read; 3 failed, see the debug
// log" once every request has answered. Used by the controllers' bulk operations.
class BulkProgress
{
public:
    enum class Operation {
        MarkAsRead,
        MarkAsDone,
        StopWatching,
    };

    BulkProgress(Operation operation, qsizetype total);

    void succeeded() { ++m_succeeded; }
    void failed() { ++m_failed; }

    qsizetype total() const { return m_total; }
    bool isFinished() const { return m_succeeded + m_failed >= m_total; }
    // The progress while requests are out, the outcome once all have answered.
    QString text() const;

private:
    Operation m_operation;
    qsizetype m_total;
    qsizetype m_succeeded = 0;
    qsizetype m_failed = 0;
};
