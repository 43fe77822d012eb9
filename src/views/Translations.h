#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

// The window's texts in the user's language: this program's catalogue, built into the
// program under :/i18n as tidewhelk_<language>.qm, and Qt's own for its standard
// buttons and menus, each installed for as long as this object lives when one exists
// for the locale. Without a catalogue the window stays in English.
class Translations
{
public:
    explicit Translations(const QLocale& locale, const QString& applicationDirectory = QStringLiteral(":/i18n"),
        const QString& qtDirectory = defaultQtDirectory());

    static QString defaultQtDirectory();

private:
    QTranslator m_application;
    QTranslator m_qt;
};
