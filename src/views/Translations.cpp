#include "views/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

Translations::Translations(const QLocale& locale, const QString& applicationDirectory, const QString& qtDirectory)
{
    if (m_application.load(locale, QStringLiteral("tidewhelk"), QStringLiteral("_"), applicationDirectory))
        QCoreApplication::installTranslator(&m_application);
    if (m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), qtDirectory))
        QCoreApplication::installTranslator(&m_qt);
}

QString Translations::defaultQtDirectory()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}
