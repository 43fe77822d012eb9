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
        for (const QJsonValue& line : object.value(QStringLiteral("lines")).toArray())
            lines.append(line.toString());
        steps.append({object.value(QStringLiteral("step")).toString(), object.value(QStringLiteral("ms")).toInteger(),
            lines, object.value(QStringLiteral("result"))});
    }
    return steps;
}

// Runs the probe's `steps` on a SecureStorage whose preferences are `ini`, through
// `launcher` when given, in `environment`; returns the probe's report.
QList<Step> runProbe(
    const QString& ini, const QStringList& steps, const QProcessEnvironment& environment, const QString& launcher = {})
{
    const QString reportPath = ini + QStringLiteral(".report.json");
    QStringList arguments {QStringLiteral(STORAGE_PROBE), QStringLiteral("secure-storage"), ini, reportPath};
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
            QFile service(directory + QStringLiteral("/org.freedesktop.secrets.service"));
            if (service.open(QIODevice::WriteOnly))
                service.write("[D-BUS Service]\nName=org.freedesktop.secrets\nExec=/bin/sleep 60\n");
            serviceDirectory = "<servicedir>" + QFile::encodeName(directory) + "</servicedir>";
        }
        // Without the receive rule the daemon drops every reply, its answer to Hello too.
        const QByteArray receive
            = kind == Kind::NeverAnswering ? QByteArray() : QByteArray("<allow eavesdrop=\"true\"/>");
        QFile config(directory + QStringLiteral("/bus.conf"));
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
        m_daemon.start(QStringLiteral("dbus-daemon"),
            {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1")});
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
    const QString osStatus = QStringLiteral("OSStatus error:[") + status + QStringLiteral("] ") + message;
    if (step.startsWith(QLatin1String("save:")))
        return {osStatus, QStringLiteral("Error saving token to Keychain: ") + message,
            QStringLiteral("Token saved to UserDefaults as fallback.")};
    if (step == QLatin1String("get"))
        return {osStatus, QStringLiteral("Error retrieving token from Keychain: ") + message};
    if (step.startsWith(QLatin1String("set:")))
        return {osStatus, QStringLiteral("Error storing value to Keychain for key refresh_token: ") + message,
            QStringLiteral("Value stored to UserDefaults as fallback for key: refresh_token")};
    if (step.startsWith(QLatin1String("getvalue:")))
        return {osStatus, QStringLiteral("Error retrieving value from Keychain for key refresh_token: ") + message};
    return {osStatus, QStringLiteral("Error removing token from Keychain: ") + message,
        QStringLiteral("Token removed from UserDefaults fallback.")};
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
    QString address = QStringLiteral("unix:path=") + home.path() + QStringLiteral("/no-bus-here");
    if (bus >= 0) {
        privateBus = std::make_unique<PrivateBus>(home.path(), PrivateBus::Kind(bus));
        address = privateBus->address();
        QVERIFY2(!address.isEmpty(), "dbus-daemon did not start");
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    const QString ini = home.path() + QStringLiteral("/tidewhelk.ini");
    const QStringList steps {QStringLiteral("save:ghp_outage_token"), QStringLiteral("get"),
        QStringLiteral("set:refresh_token=r1"), QStringLiteral("getvalue:refresh_token"), QStringLiteral("delete"),
        QStringLiteral("get")};

    const QList<Step> report = runProbe(ini, steps, environment);

    QCOMPARE(report.size(), steps.size());
    const QString status = QStringLiteral("-25291");
    const QString message = QStringLiteral("No keychain is available. You may need to restart your computer.");
    QStringList expected[] = {fallbackLines(steps[0], status, message),
        fallbackLines(steps[1], status, message)
            << QStringLiteral("Retrieved token from UserDefaults fallback (length: 16)"),
        fallbackLines(steps[2], status, message), fallbackLines(steps[3], status, message),
        fallbackLines(steps[4], status, message),
        fallbackLines(steps[5], status, message) << QStringLiteral("No token found in Keychain or UserDefaults")};
    for (qsizetype i = 0; i < report.size(); ++i) {
        QCOMPARE(report[i].name, steps[i]);
        QCOMPARE(report[i].lines, expected[i]);
        // The first call may wait out the deadline; the process then asks no more.
        QVERIFY2(report[i].milliseconds < (i == 0 ? 2000 : 300),
            qPrintable(steps[i] + QStringLiteral(" took %1 ms").arg(report[i].milliseconds)));
    }
    QCOMPARE(report[1].result, QJsonValue(QStringLiteral("ghp_outage_token")));
    QCOMPARE(report[3].result, QJsonValue(QStringLiteral("r1")));
    QCOMPARE(report[5].result, QJsonValue(QJsonValue::Null));

    const PreferenceStore preferences(ini);
    QCOMPARE(preferences.string(QStringLiteral("refresh_token")), QStringLiteral("r1"));
    QCOMPARE(preferences.string(QStringLiteral("github_token")), std::nullopt);
}

void TestKeychainOutage::lockedKeyringIsReportedWithoutPrompting()
{
    // A keyring session of its own (scripts/with-test-session), so that the shared
    // keyring of the other tests is never locked.
    TestHome home;
    const QString ini = home.path() + QStringLiteral("/tidewhelk.ini");
    const QStringList steps {QStringLiteral("ready"), QStringLiteral("save:ghp_before_lock"), QStringLiteral("lock"),
        QStringLiteral("get"), QStringLiteral("save:ghp_after_lock"), QStringLiteral("get"),
        QStringLiteral("set:refresh_token=r1"), QStringLiteral("delete")};

    const QList<Step> report = runProbe(ini, steps, QProcessEnvironment::systemEnvironment(),
        qEnvironmentVariable("TIDEWHELK_SOURCE_DIR") + QStringLiteral("/scripts/with-test-session"));

    QCOMPARE(report.size(), steps.size());
    QCOMPARE(report[0].result, QJsonValue(true));
    QCOMPARE(report[1].lines, QStringList {QStringLiteral("Token saved securely in Keychain.")});
    QVERIFY2(report[2].result.toInt() >= 1, "nothing was locked");
    const QString status = QStringLiteral("-25308");
    const QString message = QStringLiteral("User interaction is not allowed.");
    QCOMPARE(report[3].lines,
        fallbackLines(steps[3], status, message) << QStringLiteral("No token found in Keychain or UserDefaults"));
    QCOMPARE(report[4].lines, fallbackLines(steps[4], status, message));
    QCOMPARE(report[5].lines,
        fallbackLines(steps[5], status, message)
            << QStringLiteral("Retrieved token from UserDefaults fallback (length: 14)"));
    QCOMPARE(report[6].lines, fallbackLines(steps[6], status, message));
    QCOMPARE(report[7].lines, fallbackLines(steps[7], status, message));
    // A prompt would have been waited for, or dismissed as userCanceled.
    for (qsizetype i = 3; i < report.size(); ++i)
        QVERIFY2(report[i].milliseconds < 500,
            qPrintable(steps[i] + QStringLiteral(" took %1 ms").arg(report[i].milliseconds)));
}

QTEST_GUILESS_MAIN(TestKeychainOutage)
#include "tst_keychainoutage.moc"
