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

// device_code=… in a form body; what precedes the value is groups 1 and 2.
const QRegularExpression& formSecretValue()
{
    static const QRegularExpression expression(
        QStringLiteral(R"re((^|[&\s])(%1)=[^&\s]*)re").arg(secretKeys().join(u'|')));
    return expression;
}

} // namespace

QString OAuthLogText::masked(const QString& text)
{
    QString result = text;
    result.replace(jsonSecretValue(), QStringLiteral(R"(\1")") + redacted() + u'"');
    result.replace(formSecretValue(), QStringLiteral(R"(\1\2=)") + redacted());
    // A reply that escapes its keys or repeats a secret elsewhere still parses.
    const QJsonObject parsed = QJsonDocument::fromJson(text.toUtf8()).object();
    for (const QString& key : secretKeys()) {
        const QString value = parsed.value(key).toString();
        if (!value.isEmpty())
            result.replace(value, redacted());
    }
    return result;
}

QString OAuthLogText::object(const QJsonObject& object)
{
    QJsonObject shown = object;
    for (const QString& key : secretKeys()) {
        if (shown.contains(key))
            shown.insert(key, redacted());
    }
    return QString::fromUtf8(QJsonDocument(shown).toJson(QJsonDocument::Compact));
}

QString OAuthLogText::keys(const QJsonObject& object)
{
    return object.keys().join(QStringLiteral(", "));
}
