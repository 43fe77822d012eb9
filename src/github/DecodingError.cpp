#include "github/DecodingError.h"

namespace {

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

} // namespace

DecodingError::DecodingError(Kind kind, QString typeName, QString key, CodingPath path, QString context)
    : m_kind(kind)
    , m_typeName(std::move(typeName))
    , m_key(std::move(key))
    , m_codingPath(std::move(path))
    , m_context(std::move(context))
{ }

DecodingError DecodingError::typeMismatch(const QString& typeName, CodingPath path, const QString& context)
{
    return DecodingError(Kind::typeMismatch, typeName, {}, std::move(path), context);
}

DecodingError DecodingError::valueNotFound(const QString& typeName, CodingPath path, const QString& context)
{
    return DecodingError(Kind::valueNotFound, typeName, {}, std::move(path), context);
}

DecodingError DecodingError::keyNotFound(const QString& key, CodingPath path, const QString& context)
{
    return DecodingError(Kind::keyNotFound, {}, key, std::move(path), context);
}

DecodingError DecodingError::dataCorrupted(CodingPath path, const QString& context)
{
    return DecodingError(Kind::dataCorrupted, {}, {}, std::move(path), context);
}

QString DecodingError::codingPathText() const
{
    QStringList parts;
    parts.reserve(m_codingPath.size());
    for (const CodingKey& key : m_codingPath) {
        if (const auto* name = std::get_if<QString>(&key))
            parts.append(quoted(*name));
        else
            parts.append(QString::number(std::get<qsizetype>(key)));
    }
    return u'[' + parts.join(QStringLiteral(", ")) + u']';
}

QString DecodingError::description() const
{
    const QString details = QStringLiteral("codingPath: ") + codingPathText() + QStringLiteral(", debugDescription: ")
        + quoted(m_context) + u')';
    switch (m_kind) {
    case Kind::typeMismatch:
        return QStringLiteral("typeMismatch(type: ") + m_typeName + QStringLiteral(", ") + details;
    case Kind::valueNotFound:
        return QStringLiteral("valueNotFound(type: ") + m_typeName + QStringLiteral(", ") + details;
    case Kind::keyNotFound:
        return QStringLiteral("keyNotFound(key: ") + quoted(m_key) + QStringLiteral(", ") + details;
    case Kind::dataCorrupted:
        return QStringLiteral("dataCorrupted(") + details;
    }
    Q_UNREACHABLE();
}

QString DecodingError::localizedDescription() const
{
    return QStringLiteral("The data from GitHub could not be read: ") + m_context + QStringLiteral(" (at ")
        + codingPathText() + u')';
}

QStringList DecodingError::diagnostics() const
{
    const QString context = QStringLiteral("   Context: ") + m_context;
    const QString path = QStringLiteral("   Coding path: ") + codingPathText();
    switch (m_kind) {
    case Kind::typeMismatch:
        return {QStringLiteral("❌ Type mismatch for type: ") + m_typeName, context, path};
    case Kind::valueNotFound:
        return {QStringLiteral("❌ Value not found for type: ") + m_typeName, context, path};
    case Kind::keyNotFound:
        return {QStringLiteral("❌ Key not found: ") + m_key, context, path};
    case Kind::dataCorrupted:
        return {QStringLiteral("❌ Data corrupted: ") + m_context, path};
    }
    Q_UNREACHABLE();
}
