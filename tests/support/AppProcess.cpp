#include "AppProcess.h"

#include "SessionToken.h"
#include "Wait.h"

AppProcess::AppProcess(const QString& program)
    : m_program(program)
    , m_process(std::make_unique<QProcess>())
{
    if (!m_server.listen())
        qFatal("the fake GitHub cannot listen on 127.0.0.1");
    SessionToken::remove();
}

AppProcess::~AppProcess()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished();
    }
    SessionToken::remove();
}

QProcessEnvironment AppProcess::environmentWith(const QProcessEnvironment& environment) const
{
    QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
    all.insert(QStringLiteral("TIDEWHELK_API_URL"), m_server.apiBaseUrl().toString());
    all.insert(QStringLiteral("TIDEWHELK_WEB_URL"), m_server.webBaseUrl().toString());
    all.insert(environment);
    return all;
}

void AppProcess::start(const QStringList& arguments, const QProcessEnvironment& environment)
{
    m_process->setProcessEnvironment(environmentWith(environment));
    m_process->start(m_program, arguments);
}

bool AppProcess::waitForExit(int timeoutMs)
{
    return waitUntil([&] { return m_process->state() == QProcess::NotRunning; }, timeoutMs);
}

QStringList AppProcess::run(const QStringList& arguments)
{
    start(arguments);
    if (!waitForExit())
        return {};
    return output().split(u'\n', Qt::SkipEmptyParts);
}

QString AppProcess::output()
{
    m_output += QString::fromUtf8(m_process->readAllStandardOutput());
    return m_output;
}
