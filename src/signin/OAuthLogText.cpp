#include "signin/OAuthLogText.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QStringList>

namespace {

const QStringList& secretKeys()
{
    static const QStringList keys {QStringLiteral("device_code"), QStringLiteral("access_token"),
        QStringLiteral("refresh_token"), QStringLiteral("client_secret")};
    return keys;
}

QString redacted()
{
    return QStringLiteral("<redacted>");
}

// "device_code": "…" in JSON; the key and what precedes the value are group 1.
const QRegularExpression& jsonSecretValue()
{
    static const QRegularExpression expression(
        QStringLiteral(R"re(("(?:%1)"\s*:\s*)"(?:[^"\\]|\\.)*")re").arg(secretKeys().join(u'|')));
    return expression;
}

// device_code=… in a form body; what precedes the value is groups 1 and 2, the value group 3.
const QRegularExpression& formSecretValue()
{
    static const QRegularExpression expression(
        QStringLiteral(R"re((^|[&\s])(%1)=([^&\s]*))re").arg(secretKeys().join(u'|')));
    return expression;
}

QStringList secretValuesOf(const QJsonObject& object)
{
    QStringList values;
    for (const QString& key : secretKeys())
        values.append(object.value(key).toString());
    return values;
}

// `text` with every occurrence of `values` hidden: a reply may repeat a secret under
// another key or in a message.
QString withoutValues(QString text, const QStringList& values)
{
    for (const QString& value : values) {
        if (!value.isEmpty())
            text.replace(value, redacted());
    }
    return text;
}

} // namespace

QString OAuthLogText::masked(const QString& text)
{
    // A reply that escapes its keys still parses.
    QStringList values = secretValuesOf(QJsonDocument::fromJson(text.toUtf8()).object());
    for (QRegularExpressionMatchIterator match = formSecretValue().globalMatch(text); match.hasNext();)
        values.append(match.next().captured(3));
    QString result = text;
    result.replace(jsonSecretValue(), QStringLiteral(R"(\1")") + redacted() + u'"');
    result.replace(formSecretValue(), QStringLiteral(R"(\1\2=)") + redacted());
    return withoutValues(result, values);
}

QString OAuthLogText::object(const QJsonObject& object)
{
    QJsonObject shown = object;
    for (const QString& key : secretKeys()) {
        if (shown.contains(key))
            shown.insert(key, redacted());
    }
    return withoutValues(
        QString::fromUtf8(QJsonDocument(shown).toJson(QJsonDocument::Compact)), secretValuesOf(object));
}

QString OAuthLogText::keys(const QJsonObject& object)
{
    return object.keys().join(QStringLiteral(", "));
}
