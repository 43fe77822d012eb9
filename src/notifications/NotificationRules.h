#pragma once

#include "github/Notification.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The list rules of the notifications feed, as pure functions: merging a fetched page
// into the list, the repository choices, the completed states and the table filter.
namespace NotificationRules {

// The repository choice that means no repository filter.
inline const QString allRepositories = QStringLiteral("All Repositories");

struct Merge
{
    QList<NotificationPtr> merged; // newest updated_at first
    QSet<QString> newIds; // ids that were not listed before
};

// One record per id: the one with the greatest updated_at (compared as text); on a tie
// the record already listed stays, so its state, CI and review words survive.
Merge merge(const QList<NotificationPtr>& listed, const QList<NotificationPtr>& fetched);

// "All Repositories" followed by the distinct repository names, in code-point order.
QStringList repositoryChoices(const QList<NotificationPtr>& notifications);

// Closed, merged and resolved subjects (exact, lower case) count as completed.
bool isCompleted(const Notification& notification);

// The rows of the table: the selected repository (exact), titles containing `text`
// ignoring case (when it is not empty), newest updated_at first.
QList<NotificationPtr> filtered(
    const QList<NotificationPtr>& notifications, const QString& selectedRepository, const QString& text);

} // namespace NotificationRules
