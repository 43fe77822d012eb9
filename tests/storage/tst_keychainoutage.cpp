#include "TestHome.h"
#include "storage/PreferenceStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <signal.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// One step of the probe's report.
struct Step
{
    QString name;
    qint64 milliseconds = 0;
    QStringList lines;
    QJsonValue result;
};

QList<Step> parseReport(const QByteArray& json)
{
    QList<Step> steps;
    for (const QJsonValue& value : QJsonDocument::fromJson(json).array()) {
        const QJsonObject object = value.toObject();
        QStringList lines;
        for (const QJsonValue& line : object.value(u"lines"_s).toArray())
            lines.append(line.toString());
        steps.append(
            {object.value(u"step"_s).toString(), object.value(u"ms"_s).toInteger(), lines, object.value(u"result"_s)});
    }
    return steps;
}

// Runs the probe's `steps` on a SecureStorage whose preferences are `ini`, through
// `launcher` when given, in `environment`; returns the probe's report.
QList<Step> runProbe(
    const QString& ini, const QStringList& steps, const QProcessEnvironment& environment, const QString& launcher = {})
{
    const QString reportPath = ini + u".report.json"_s;
    QStringList arguments {QStringLiteral(STORAGE_PROBE), u"secure-storage"_s, ini, reportPath};
    arguments += steps;
    const QString program = launcher.isEmpty() ? arguments.takeFirst() : launcher;
    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.start(program, arguments);
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        qWarning("probe failed: %s", probe.readAllStandardError().constData());
    QFile report(reportPath);
    return report.open(QIODevice::ReadOnly) ? parseReport(report.readAll()) : QList<Step>();
}

// A D-Bus session daemon of the test's own, that the shared test session never sees.
// It is started in a process group of its own so that the services it starts die
// with it.
class PrivateBus
{
public:
    enum class Kind { WithoutProvider, NeverAnswering, HangingProvider };

    PrivateBus(const QString& directory, Kind kind)
    {
        QByteArray serviceDirectory;
        if (kind == Kind::HangingProvider) {
            QFile service(directory + u"/org.freedesktop.secrets.service"_s);
            if (service.open(QIODevice::WriteOnly))
                service.write("[D-BUS Service]\nName=org.freedesktop.secrets\nExec=/bin/sleep 60\n");
            serviceDirectory = "<servicedir>" + QFile::encodeName(directory) + "</servicedir>";
        }
        // Without the receive rule the daemon drops every reply, its answer to Hello too.
        const QByteArray receive
            = kind == Kind::NeverAnswering ? QByteArray() : QByteArray("<allow eavesdrop=\"true\"/>");
        QFile config(directory + u"/bus.conf"_s);
        if (config.open(QIODevice::WriteOnly)) {
            config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                         "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n<busconfig>"
                         "<type>session</type><listen>unix:dir="
                + QFile::encodeName(directory) + "</listen><auth>EXTERNAL</auth>" + serviceDirectory
                + "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>" + receive
                + "<allow own=\"*\"/></policy></busconfig>\n");
        }
        config.close();

        m_daemon.setChildProcessModifier([] { ::setsid(); });
        m_daemon.start(
            u"dbus-daemon"_s, {u"--config-file="_s + config.fileName(), u"--nofork"_s, u"--print-address=1"_s});
        while (m_daemon.waitForReadyRead(5000) && !m_daemon.canReadLine()) { }
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    }

    ~PrivateBus()
    {
        if (m_daemon.processId() > 0)
            ::kill(-static_cast<pid_t>(m_daemon.processId()), SIGKILL);
        m_daemon.waitForFinished();
    }

    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

QStringList fallbackLines(const QString& step, const QString& status, const QString& message)
{
    const QString osStatus = u"OSStatus error:["_s + status + u"] "_s + message;
    if (step.startsWith(QLatin1String("save:")))
        return {
            osStatus, u"Error saving token to Keychain: "_s + message, u"Token saved to UserDefaults as fallback."_s};
    if (step == QLatin1String("get"))
        return {osStatus, u"Error retrieving token from Keychain: "_s + message};
    if (step.startsWith(QLatin1String("set:")))
        return {osStatus, u"Error storing value to Keychain for key refresh_token: "_s + message,
            u"Value stored to UserDefaults as fallback for key: refresh_token"_s};
    if (step.startsWith(QLatin1String("getvalue:")))
        return {osStatus, u"Error retrieving value from Keychain for key refresh_token: "_s + message};
    return {
        osStatus, u"Error removing token from Keychain: "_s + message, u"Token removed from UserDefaults fallback."_s};
}

} // namespace

class TestKeychainOutage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unusableSecretServiceFailsFastIntoTheFallback_data();
    void unusableSecretServiceFailsFastIntoTheFallback();
    void lockedKeyringIsReportedWithoutPrompting();
};

void TestKeychainOutage::unusableSecretServiceFailsFastIntoTheFallback_data()
{
    QTest::addColumn<int>("bus");
    QTest::newRow("no session bus") << -1;
    QTest::newRow("bus without a provider") << int(PrivateBus::Kind::WithoutProvider);
    QTest::newRow("bus that never answers") << int(PrivateBus::Kind::NeverAnswering);
    QTest::newRow("provider that hangs when started") << int(PrivateBus::Kind::HangingProvider);
}

void TestKeychainOutage::unusableSecretServiceFailsFastIntoTheFallback()
{
    QFETCH(int, bus);
    TestHome home;
    std::unique_ptr<PrivateBus> privateBus;
    QString address = u"unix:path="_s + home.path() + u"/no-bus-here"_s;
    if (bus >= 0) {
        privateBus = std::make_unique<PrivateBus>(home.path(), PrivateBus::Kind(bus));
        address = privateBus->address();
        QVERIFY2(!address.isEmpty(), "dbus-daemon did not start");
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    const QString ini = home.path() + u"/tidewhelk.ini"_s;
    const QStringList steps {u"save:ghp_outage_token"_s, u"get"_s, u"set:refresh_token=r1"_s,
        u"getvalue:refresh_token"_s, u"delete"_s, u"get"_s};

    const QList<Step> report = runProbe(ini, steps, environment);

    QCOMPARE(report.size(), steps.size());
    const QString status = u"-25291"_s;
    const QString message = u"No keychain is available. You may need to restart your computer."_s;
    QStringList expected[] = {fallbackLines(steps[0], status, message),
        fallbackLines(steps[1], status, message) << u"Retrieved token from UserDefaults fallback (length: 16)"_s,
        fallbackLines(steps[2], status, message), fallbackLines(steps[3], status, message),
        fallbackLines(steps[4], status, message),
        fallbackLines(steps[5], status, message) << u"No token found in Keychain or UserDefaults"_s};
    for (qsizetype i = 0; i < report.size(); ++i) {
        QCOMPARE(report[i].name, steps[i]);
        QCOMPARE(report[i].lines, expected[i]);
        // The first call may wait out the deadline; the process then asks no more.
        QVERIFY2(report[i].milliseconds < (i == 0 ? 2000 : 300),
            qPrintable(steps[i] + u" took %1 ms"_s.arg(report[i].milliseconds)));
    }
    QCOMPARE(report[1].result, QJsonValue(u"ghp_outage_token"_s));
    QCOMPARE(report[3].result, QJsonValue(u"r1"_s));
    QCOMPARE(report[5].result, QJsonValue(QJsonValue::Null));

    const PreferenceStore preferences(ini);
    QCOMPARE(preferences.string(u"refresh_token"_s), u"r1"_s);
    QCOMPARE(preferences.string(u"github_token"_s), std::nullopt);
}

void TestKeychainOutage::lockedKeyringIsReportedWithoutPrompting()
{
    // A keyring session of its own (scripts/with-test-session), so that the shared
    // keyring of the other tests is never locked.
    TestHome home;
    const QString ini = home.path() + u"/tidewhelk.ini"_s;
    const QStringList steps {u"ready"_s, u"save:ghp_before_lock"_s, u"lock"_s, u"get"_s, u"save:ghp_after_lock"_s,
        u"get"_s, u"set:refresh_token=r1"_s, u"delete"_s};

    const QList<Step> report = runProbe(ini, steps, QProcessEnvironment::systemEnvironment(),
        qEnvironmentVariable("TIDEWHELK_SOURCE_DIR") + u"/scripts/with-test-session"_s);

    QCOMPARE(report.size(), steps.size());
    QCOMPARE(report[0].result, QJsonValue(true));
    QCOMPARE(report[1].lines, QStringList {u"Token saved securely in Keychain."_s});
    QVERIFY2(report[2].result.toInt() >= 1, "nothing was locked");
    const QString status = u"-25308"_s;
    const QString message = u"User interaction is not allowed."_s;
    QCOMPARE(
        report[3].lines, fallbackLines(steps[3], status, message) << u"No token found in Keychain or UserDefaults"_s);
    QCOMPARE(report[4].lines, fallbackLines(steps[4], status, message));
    QCOMPARE(report[5].lines,
        fallbackLines(steps[5], status, message) << u"Retrieved token from UserDefaults fallback (length: 14)"_s);
    QCOMPARE(report[6].lines, fallbackLines(steps[6], status, message));
    QCOMPARE(report[7].lines, fallbackLines(steps[7], status, message));
    // A prompt would have been waited for, or dismissed as userCanceled.
    for (qsizetype i = 3; i < report.size(); ++i)
        QVERIFY2(report[i].milliseconds < 500, qPrintable(steps[i] + u" took %1 ms"_s.arg(report[i].milliseconds)));
}

QTEST_GUILESS_MAIN(TestKeychainOutage)
#include "tst_keychainoutage.moc"
