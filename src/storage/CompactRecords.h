#pragma once

#include "github/Issue.h"
#include "github/Notification.h"

#include <QByteArray>
#include <QList>

#include <optional>

// The records of a cached list in a binary form that decodes in a small part of the
// time their JSON takes: the fields of each record in turn, in list order, behind a
// mark of the record kind so that a form is never read as another kind. The
// preference snapshot keeps it in place of the JSON it was made with, which stays in
// the preference file.
namespace CompactRecords {

QByteArray encode(const QList<NotificationPtr>& notifications);
// None when `form` is not a whole list of threads in this form.
std::optional<QList<NotificationPtr>> decodeNotifications(const QByteArray& form);
QByteArray encode(const QList<IssuePtr>& issues);
// None when `form` is not a whole list of assigned items in this form.
std::optional<QList<IssuePtr>> decodeIssues(const QByteArray& form);

} // namespace CompactRecords
