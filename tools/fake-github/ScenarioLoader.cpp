#include "ScenarioLoader.h"

#include "FakeGitHub.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>

namespace {

struct Loaded
{
    QJsonDocument document;
    QString error;
};

Loaded readJson(const QString& fileName, const FakeGitHub& server)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, fileName + QStringLiteral(": ") + file.errorString()};
    QByteArray text = file.readAll();
    text.replace("https://api.github.com", server.apiBaseUrl().toEncoded());
    text.replace("https://github.com", server.webBaseUrl().toEncoded());
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {{}, fileName + QStringLiteral(": ") + parseError.errorString()};
    return {document, {}};
}

} // namespace

bool ScenarioLoader::load(const QString& directory, FakeGitHub& server, QString* errorMessage)
{
    const QDir dir(directory);
    if (!dir.exists()) {
        *errorMessage = directory + QStringLiteral(": no such directory");
        return false;
    }

    const auto loadList = [&](const QString& name, const auto& store) {
        if (!dir.exists(name))
            return true;
        const Loaded loaded = readJson(dir.filePath(name), server);
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

    const QDir resources(dir.filePath(QStringLiteral("resources")));
    QDirIterator files(resources.path(), {QStringLiteral("*.json")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString fileName = files.next();
        const Loaded loaded = readJson(fileName, server);
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
    QFile file(QDir(directory).filePath(QStringLiteral("token")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll().trimmed());
}
