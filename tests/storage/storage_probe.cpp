// A child process for the storage tests, for what must not happen in the test
// process itself: being killed in the middle of a save, talking to another D-Bus
// session than the one the tests share, locking a keyring.
//
//   storage_probe save-loop <ini-file>
//       Saves a large payload and a marker that names it, alternating between two
//       contents, flushing each time, until killed. Prints "saved" after each save.
//   storage_probe secure-storage <ini-file> <report-file> <step>...
//       Runs each step on a fresh SecureStorage and writes, as a JSON array, each
//       step with its duration, its console lines and its result to the report
//       file (standard output may carry what a keyring daemon started by D-Bus
//       prints). Steps: save:<token>  get  set:<key>=<value>  getvalue:<key>
//       delete  ready (waits for the session's keyring)  lock (locks every
//       collection of the session's Secret Service).

#include "ConsoleCapture.h"
#include "SecretTool.h"
#include "VirtualScheduler.h"
#include "storage/Environment.h"
#include "storage/Keychain.h"
#include "storage/PreferenceStore.h"
#include "storage/SecureStorage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <libsecret/secret.h>

using namespace Qt::StringLiterals;

namespace {

int saveLoop(const QString& path)
{
    PreferenceStore store(path);
    for (int round = 0;; ++round) {
        const char letter = round % 2 ? 'B' : 'A';
        store.setData(u"payload"_s, QByteArray(2 * 1024 * 1024, letter));
        store.setString(u"marker"_s, QString(QLatin1Char(letter)));
        store.flush();
        std::puts("saved");
        std::fflush(stdout);
    }
}

QJsonValue lockEverything()
{
    g_autoptr(GError) error = nullptr;
    g_autoptr(SecretService) service = secret_service_get_sync(SECRET_SERVICE_LOAD_COLLECTIONS, nullptr, &error);
    if (!service)
        return QString::fromUtf8(error->message);
    g_autolist(SecretCollection) collections = secret_service_get_collections(service);
    const int locked = secret_service_lock_sync(service, collections, nullptr, nullptr, &error);
    if (error)
        return QString::fromUtf8(error->message);
    return locked;
}

QJsonValue runStep(const QString& step, SecureStorage& storage)
{
    const QString name = step.section(u':', 0, 0);
    const QString argument = step.section(u':', 1);
    const auto optionalValue
        = [](const std::optional<QString>& value) { return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null); };
    if (name == QLatin1String("save"))
        storage.saveToken(argument);
    else if (name == QLatin1String("get"))
        return optionalValue(storage.getToken());
    else if (name == QLatin1String("set"))
        storage.setValue(argument.section(u'=', 1), argument.section(u'=', 0, 0));
    else if (name == QLatin1String("getvalue"))
        return optionalValue(storage.getValue(argument));
    else if (name == QLatin1String("delete"))
        storage.deleteToken();
    else if (name == QLatin1String("ready"))
        return SecretTool::waitForKeyring();
    else if (name == QLatin1String("lock"))
        return lockEverything();
    else
        return u"unknown step"_s;
    return QJsonValue::Null;
}

int runSecureStorage(const QString& path, const QString& reportPath, const QStringList& steps)
{
    VirtualScheduler scheduler;
    ConsoleCapture console;
    PreferenceStore preferences(path);
    Environment environment;
    environment.scheduler = &scheduler;
    environment.console = &console;
    environment.preferences = &preferences;
    Keychain keychain(QLatin1String(SecureStorage::kServiceName), console);
    environment.secrets = &keychain;

    QJsonArray report;
    for (const QString& step : steps) {
        SecureStorage storage(environment);
        QElapsedTimer timer;
        timer.start();
        const QJsonValue result = runStep(step, storage);
        const qint64 elapsed = timer.elapsed();
        report.append(QJsonObject {{u"step"_s, step}, {u"ms"_s, elapsed},
            {u"lines"_s, QJsonArray::fromStringList(console.take())}, {u"result"_s, result}});
    }
    preferences.flush();
    QFile reportFile(reportPath);
    if (!reportFile.open(QIODevice::WriteOnly) || reportFile.write(QJsonDocument(report).toJson()) < 0)
        return 1;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 3 && arguments.at(1) == QLatin1String("save-loop"))
        return saveLoop(arguments.at(2));
    if (arguments.size() >= 4 && arguments.at(1) == QLatin1String("secure-storage"))
        return runSecureStorage(arguments.at(2), arguments.at(3), arguments.mid(4));
    std::fputs(
        "usage: storage_probe save-loop <ini-file> | secure-storage <ini-file> <report-file> <step>...\n", stderr);
    return 2;
}
