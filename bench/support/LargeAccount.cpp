#include "LargeAccount.h"

#include "BenchData.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace LargeAccount {

QList<NotificationPtr> threads(int count)
{
    static const QStringList states {QStringLiteral("open"), QStringLiteral("closed"), QStringLiteral("merged")};
    static const QStringList ci {QStringLiteral("passing"), QStringLiteral("failed"), QStringLiteral("pending")};
    static const QStringList reviews {
        QStringLiteral("approved"), QStringLiteral("changes_requested"), QStringLiteral("commented")};
    QJsonArray threads;
    int index = 0;
    for (const QJsonValue& value : BenchData::exampleThreads(count)) {
        QJsonObject thread = value.toObject();
        QJsonObject repository = thread.value(QStringLiteral("repository")).toObject();
        repository.insert(QStringLiteral("full_name"), QStringLiteral("octocat/project-%1").arg(index % 20));
        thread.insert(QStringLiteral("repository"), repository);
        QJsonObject subject = thread.value(QStringLiteral("subject")).toObject();
        const bool pullRequest = index % (count / 200 > 0 ? count / 200 : 1) == 0;
        subject.insert(QStringLiteral("type"), pullRequest ? QStringLiteral("PullRequest") : QStringLiteral("Issue"));
        subject.insert(QStringLiteral("state"), states[index % states.size()]);
        if (pullRequest) {
            subject.insert(QStringLiteral("ciStatus"), ci[index % ci.size()]);
            subject.insert(QStringLiteral("reviewStatus"), reviews[index % reviews.size()]);
        }
        thread.insert(QStringLiteral("subject"), subject);
        threads.append(thread);
        ++index;
    }
    return std::get<QList<NotificationPtr>>(Notification::decodeList(QJsonDocument(threads).toJson()));
}

QList<IssuePtr> issues(int count)
{
    QJsonArray issues;
    int index = 0;
    for (const QJsonValue& value : BenchData::exampleIssues(count)) {
        QJsonObject issue = value.toObject();
        const bool pullRequest = index % (count / 200 > 0 ? count / 200 : 1) == 0;
        if (!pullRequest) {
            issue.remove(QStringLiteral("pull_request"));
            issue.insert(QStringLiteral("html_url"),
                QStringLiteral("https://github.com/octocat/Hello-World/issues/%1").arg(index));
        }
        issues.append(issue);
        ++index;
    }
    return std::get<QList<IssuePtr>>(Issue::decodeList(QJsonDocument(issues).toJson()));
}

long peakResidentKiB(std::optional<qint64> pid)
{
    QFile status(pid ? QStringLiteral("/proc/%1/status").arg(*pid) : QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression peak(QStringLiteral("VmHWM:\\s+(\\d+) kB"));
    const QRegularExpressionMatch match = peak.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

} // namespace LargeAccount
