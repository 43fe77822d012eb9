#include "ScenarioLoader.h"

#include "GitHubServer.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

struct Loaded
{
    QJsonDocument document;
    QString error;
};

const QRegularExpression& timestampPattern()
{
    static const QRegularExpression pattern(QStringLiteral("\"(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ)\""));
    return pattern;
}

// Every time stamp of the scenario moves by the same amount, so that the newest lands an
// hour ago: the app asks only for the last year, and a demo should look recent whenever
// it runs.
qint64 secondsToRecent(const QStringList& fileNames)
{
    QString newest;
    for (const QString& fileName : fileNames) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& match : timestampPattern().globalMatch(text))
            newest = std::max(newest, match.captured(1));
    }
    if (newest.isEmpty())
        return 0;
    const QDateTime target = QDateTime::currentDateTimeUtc().addSecs(-3600);
    return QDateTime::fromString(newest, Qt::ISODate).secsTo(target);
}

QByteArray shiftedTimestamps(const QByteArray& bytes, qint64 seconds)
{
    QString text = QString::fromUtf8(bytes);
    QString result;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch& match : timestampPattern().globalMatch(text)) {
        result += QStringView(text).mid(copied, match.capturedStart(1) - copied);
        result += QDateTime::fromString(match.captured(1), Qt::ISODate).addSecs(seconds).toString(Qt::ISODate);
        copied = match.capturedEnd(1);
    }
    result += QStringView(text).mid(copied);
    return result.toUtf8();
}

Loaded readJson(const QString& fileName, const GitHubServer& server, qint64 shiftSeconds)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, fileName + QStringLiteral(": ") + file.errorString()};
    QByteArray text = shiftedTimestamps(file.readAll(), shiftSeconds);
    text.replace("https://api.github.com", server.apiBaseUrl().toEncoded());
    text.replace("https://github.com", server.webBaseUrl().toEncoded());
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {{}, fileName + QStringLiteral(": ") + parseError.errorString()};
    return {document, {}};
}

QString trimmedText(const QString& directory, const QString& name)
{
    QFile file(QDir(directory).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll().trimmed());
}

} // namespace

bool ScenarioLoader::load(const QString& directory, GitHubServer& server, QString* errorMessage)
{
    // Absolute, so that resource paths come out right for a relative --data directory.
    const QDir dir(QDir(directory).absolutePath());
    if (!dir.exists()) {
        *errorMessage = directory + QStringLiteral(": no such directory");
        return false;
    }

    const QDir resources(dir.filePath(QStringLiteral("resources")));
    QStringList resourceFiles;
    QDirIterator files(resources.path(), {QStringLiteral("*.json")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        resourceFiles << files.next();
    const qint64 shift = secondsToRecent(
        QStringList {dir.filePath(QStringLiteral("notifications.json")), dir.filePath(QStringLiteral("issues.json"))}
        + resourceFiles);

    const auto loadList = [&](const QString& name, const auto& store) {
        if (!dir.exists(name))
            return true;
        const Loaded loaded = readJson(dir.filePath(name), server, shift);
        if (!loaded.error.isEmpty() || !loaded.document.isArray()) {
            *errorMessage = loaded.error.isEmpty() ? name + QStringLiteral(": not a JSON array") : loaded.error;
            return false;
        }
        store(loaded.document.array());
        return true;
    };
    if (!loadList(QStringLiteral("notifications.json"), [&](const QJsonArray& a) { server.setNotifications(a); })
        || !loadList(QStringLiteral("issues.json"), [&](const QJsonArray& a) { server.setAssignedIssues(a); }))
        return false;

    for (const QString& fileName : resourceFiles) {
        const Loaded loaded = readJson(fileName, server, shift);
        if (!loaded.error.isEmpty()) {
            *errorMessage = loaded.error;
            return false;
        }
        QString path = QLatin1Char('/') + resources.relativeFilePath(fileName);
        path.chop(static_cast<int>(QStringLiteral(".json").size()));
        server.setResource(path,
            loaded.document.isArray() ? QJsonValue(loaded.document.array()) : QJsonValue(loaded.document.object()));
    }
    return true;
}

QString ScenarioLoader::token(const QString& directory)
{
    return trimmedText(directory, QStringLiteral("token"));
}

QString ScenarioLoader::login(const QString& directory)
{
    return trimmedText(directory, QStringLiteral("login"));
}
