#include "desktop/AutostartEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

// Characters that make an Exec argument need quotes.
const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

QString quotedArgument(QString argument)
{
    // "%" starts a field code wherever it stands.
    argument.replace(u'%', QStringLiteral("%%"));
    if (std::any_of(argument.cbegin(), argument.cend(), [](QChar c) { return kReserved.contains(c); })) {
        QString quoted;
        for (const QChar c : argument) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        argument = u'"' + quoted + u'"';
    }
    // Then the escape of every string value of the file.
    return argument.replace(u'\\', QStringLiteral("\\\\"));
}

} // namespace

AutostartEntry::AutostartEntry(QString directory, QString program)
    : m_directory(std::move(directory))
    , m_program(std::move(program))
{ }

QString AutostartEntry::defaultDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString AutostartEntry::currentProgram()
{
    const QFileInfo self(QCoreApplication::applicationFilePath());
    const QString found = QStandardPaths::findExecutable(self.fileName());
    if (!found.isEmpty() && QFileInfo(found).canonicalFilePath() == self.canonicalFilePath())
        return self.fileName();
    return self.absoluteFilePath();
}

QString AutostartEntry::execValue(const QString& program)
{
    return quotedArgument(program) + QStringLiteral(" --hidden");
}

QString AutostartEntry::filePath() const
{
    return m_directory + QStringLiteral("/tidewhelk.desktop");
}

bool AutostartEntry::isEnabled() const
{
    return QFileInfo::exists(filePath());
}

bool AutostartEntry::setEnabled(bool enabled)
{
    if (!enabled)
        return !isEnabled() || QFile::remove(filePath());
    if (!QDir().mkpath(m_directory))
        return false;
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QString entry
        = QStringLiteral("[Desktop Entry]\n"
                         "Type=Application\n"
                         "Name=Tidewhelk\n"
                         "Comment=Keep your GitHub notification threads and assigned issues up to date\n"
                         "Exec=%1\n"
                         "Icon=" TIDEWHELK_APP_ID "\n"
                         "Terminal=false\n"
                         "X-GNOME-Autostart-enabled=true\n")
              .arg(execValue(m_program.isEmpty() ? currentProgram() : m_program));
    file.write(entry.toUtf8());
    return file.commit();
}
