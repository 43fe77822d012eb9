#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// Whole files for tests that look at or damage what the stores wrote.

// The file's bytes; empty when it cannot be read.
inline QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file's bytes; fails the test when it cannot be written.
inline void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}
