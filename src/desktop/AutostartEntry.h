#pragma once

#include <QString>

// "Start at Login": the XDG autostart entry tidewhelk.desktop in the user's autostart
// directory, which starts the program with --hidden (in the status area, where the
// desktop has one). The entry's presence is the setting.
class AutostartEntry
{
public:
    // `directory` holds the entry; `program` is what it starts, this executable when
    // empty (found when the entry is written: a start of the window searches nothing).
    AutostartEntry(QString directory, QString program);

    // $XDG_CONFIG_HOME/autostart (~/.config/autostart).
    static QString defaultDirectory();
    // This executable as an entry should name it: by its name when a search of PATH finds
    // this very file, else by its absolute path.
    static QString currentProgram();
    // The entry's Exec value: `program`, quoted as desktop entries require, then --hidden.
    static QString execValue(const QString& program);

    QString filePath() const;
    bool isEnabled() const;
    // Writes or removes the entry; false when that failed and the entry is as it was.
    bool setEnabled(bool enabled);

private:
    QString m_directory;
    QString m_program;
};
