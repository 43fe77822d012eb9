#include "BenchData.h"

#include "TestData.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace BenchData {

namespace {

QJsonObject example(const QString& name)
{
    const QJsonDocument document = QJsonDocument::fromJson(TestData::example(QStringLiteral("openapi/") + name));
    return document.isArray() ? document.array().first().toObject() : document.object();
}

} // namespace

QJsonArray exampleThreads(int count)
{
    const QJsonObject example = BenchData::example(QStringLiteral("GET-notifications-threads-id.200.thread.json"));
    static const QStringList types {QStringLiteral("PullRequest"), QStringLiteral("Issue"),
        QStringLiteral("Discussion"), QStringLiteral("Release")};
    QJsonArray threads;
    for (int i = 0; i < count; ++i) {
        QJsonObject thread = example;
        const QString id = QString::number(9000000000LL + i);
        thread.insert(QStringLiteral("id"), id);
        thread.insert(QStringLiteral("updated_at"), updateTime(i));
        thread.insert(
            QStringLiteral("url"), QString(QStringLiteral("https://api.github.com/notifications/threads/") + id));
        QJsonObject subject = thread.value(QStringLiteral("subject")).toObject();
        subject.insert(QStringLiteral("title"), QStringLiteral("Thread %1: make the decoder fast").arg(i));
        subject.insert(QStringLiteral("type"), types[i % types.size()]);
        subject.insert(
            QStringLiteral("url"), QStringLiteral("https://api.github.com/repos/octocat/Hello-World/pulls/%1").arg(i));
        thread.insert(QStringLiteral("subject"), subject);
        threads.append(thread);
    }
    return threads;
}

QJsonArray exampleIssues(int count)
{
    const QJsonObject example = BenchData::example(QStringLiteral("GET-issues.200.issue-with-repo-items.json"));
    QJsonArray issues;
    for (int i = 0; i < count; ++i) {
        QJsonObject issue = example;
        issue.insert(QStringLiteral("id"), 1300000000LL + i);
        issue.insert(QStringLiteral("title"), QStringLiteral("Issue %1: found a bug").arg(i));
        issue.insert(QStringLiteral("updated_at"), updateTime(i));
        issues.append(issue);
    }
    return issues;
}

QString updateTime(int index)
{
    return QStringLiteral("2025-03-%1T%2:%3:00Z")
        .arg(1 + index % 28, 2, 10, QChar(u'0'))
        .arg(index % 24, 2, 10, QChar(u'0'))
        .arg(index % 60, 2, 10, QChar(u'0'));
}

} // namespace BenchData
