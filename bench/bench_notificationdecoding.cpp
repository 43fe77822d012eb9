// Typed decoding of a 10,000-thread notifications reply must cost at most 1.5 times
// the raw QJsonDocument parse of the same bytes: reading the records may add little
// to parsing. Both are measured side by side, best of several runs each.

#include "github/Notification.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kThreads = 10000;
constexpr int kRuns = 7;
constexpr double kAllowedRatio = 1.5;

// GitHub's thread example, with its large repository object, made distinct per thread.
QByteArray buildReply()
{
    QFile file(QStringLiteral(TIDEWHELK_EXAMPLES_DIR "/openapi/GET-notifications-threads-id.200.thread.json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the thread example");
    const QJsonObject example = QJsonDocument::fromJson(file.readAll()).object();
    static const QStringList types {u"PullRequest"_qs, u"Issue"_qs, u"Discussion"_qs, u"Release"_qs};
    QJsonArray threads;
    for (int i = 0; i < kThreads; ++i) {
        QJsonObject thread = example;
        const QString id = QString::number(9000000000LL + i);
        thread.insert(u"id"_qs, id);
        thread.insert(u"updated_at"_qs,
            QStringLiteral("2025-03-%1T%2:%3:00Z")
                .arg(1 + i % 28, 2, 10, QChar(u'0'))
                .arg(i % 24, 2, 10, QChar(u'0'))
                .arg(i % 60, 2, 10, QChar(u'0')));
        thread.insert(u"url"_qs, QString(u"https://api.github.com/notifications/threads/"_qs + id));
        QJsonObject subject = thread.value(u"subject"_qs).toObject();
        subject.insert(u"title"_qs, QStringLiteral("Thread %1: make the decoder fast").arg(i));
        subject.insert(u"type"_qs, types[i % types.size()]);
        subject.insert(u"url"_qs, QStringLiteral("https://api.github.com/repos/octocat/Hello-World/pulls/%1").arg(i));
        thread.insert(u"subject"_qs, subject);
        threads.append(thread);
    }
    return QJsonDocument(threads).toJson(QJsonDocument::Compact);
}

template <typename Work>
qint64 nanoseconds(Work work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QByteArray reply = buildReply();

    qint64 bestParse = std::numeric_limits<qint64>::max();
    qint64 bestDecode = std::numeric_limits<qint64>::max();
    qsizetype decodedCount = 0;
    // Alternating runs share the machine's state (caches, frequency) fairly.
    for (int run = 0; run < kRuns; ++run) {
        bestParse = std::min(bestParse, nanoseconds([&] {
            const QJsonDocument document = QJsonDocument::fromJson(reply);
            if (document.array().size() != kThreads)
                qFatal("the raw parse lost threads");
        }));
        bestDecode = std::min(bestDecode, nanoseconds([&] {
            const Decoded<QList<NotificationPtr>> decoded = Notification::decodeList(reply);
            decodedCount = std::get<QList<NotificationPtr>>(decoded).size();
        }));
    }
    if (decodedCount != kThreads)
        qFatal("the typed decode lost threads");

    const double ratio = static_cast<double>(bestDecode) / static_cast<double>(bestParse);
    std::printf("Reply: %d threads, %.1f MB\n", kThreads, static_cast<double>(reply.size()) / 1e6);
    std::printf("Raw QJsonDocument parse: %.1f ms (best of %d)\n", static_cast<double>(bestParse) / 1e6, kRuns);
    std::printf("Typed Notification decode: %.1f ms (best of %d)\n", static_cast<double>(bestDecode) / 1e6, kRuns);
    std::printf("Ratio: %.2f (allowed: %.2f) %s\n", ratio, kAllowedRatio, ratio <= kAllowedRatio ? "OK" : "TOO SLOW");
    return ratio <= kAllowedRatio ? 0 : 1;
}
