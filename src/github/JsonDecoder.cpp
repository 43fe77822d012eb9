#include "github/JsonDecoder.h"

#include <QJsonDocument>
#include <QJsonObject>

Decoded<QJsonValue> JsonDecoder::parse(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return DecodingError::dataCorrupted({},
            QStringLiteral("The given data was not valid JSON: ") + error.errorString() + QStringLiteral(" at offset ")
                + QString::number(error.offset) + u'.');
    if (document.isArray())
        return QJsonValue(document.array());
    return QJsonValue(document.object());
}
