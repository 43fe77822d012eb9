#include "feeds/BulkProgress.h"

BulkProgress::BulkProgress(Operation operation, qsizetype total)
    : m_operation(operation)
    , m_total(total)
{ }

QString BulkProgress::text() const
{
    if (!isFinished()) {
        const QString count
            = QString::number(m_succeeded + m_failed) + QStringLiteral(" of ") + QString::number(m_total);
        switch (m_operation) {
        case Operation::MarkAsRead:
            return QStringLiteral("Marking ") + count + QStringLiteral(" as read…");
        case Operation::MarkAsDone:
            return QStringLiteral("Marking ") + count + QStringLiteral(" as done…");
        case Operation::StopWatching:
            return QStringLiteral("Unsubscribing ") + count + QStringLiteral("…");
        }
    }
    const QString count = QString::number(m_succeeded);
    QString outcome;
    switch (m_operation) {
    case Operation::MarkAsRead:
        outcome = QStringLiteral("Marked ") + count + QStringLiteral(" as read");
        break;
    case Operation::MarkAsDone:
        outcome = QStringLiteral("Marked ") + count + QStringLiteral(" as done");
        break;
    case Operation::StopWatching:
        outcome = QStringLiteral("Unsubscribed ") + count;
        break;
    }
    if (m_failed > 0)
        outcome += QStringLiteral("; ") + QString::number(m_failed) + QStringLiteral(" failed, see the debug log");
    return outcome;
}
