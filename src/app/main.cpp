#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tidewhelk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TIDEWHELK_VERSION));
    QTextStream(stdout) << QCoreApplication::applicationName() << u' ' << QCoreApplication::applicationVersion()
                        << Qt::endl;
    return 0;
}
