#include "TestData.h"

#include <QFile>
#include <QJsonDocument>

namespace TestData {

QByteArray example(const QString& relativePath)
{
    QFile file(QStringLiteral(TIDEWHELK_EXAMPLES_DIR) + u'/' + relativePath);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing example %s", qPrintable(relativePath));
    return file.readAll();
}

QByteArray compact(const QJsonArray& array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace TestData
