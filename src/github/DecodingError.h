#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <variant>

// Why a JSON reply (or a cached list) could not be read as the expected records:
// where in the document (the coding path of keys and array positions), what was
// expected, and the decoder's explanation. Nothing of a document that fails is used.
class DecodingError
{
public:
    enum class Kind { typeMismatch, valueNotFound, keyNotFound, dataCorrupted };

    using CodingKey = std::variant<QString, qsizetype>;
    using CodingPath = QList<CodingKey>;

    static DecodingError typeMismatch(const QString& typeName, CodingPath path, const QString& context);
    static DecodingError valueNotFound(const QString& typeName, CodingPath path, const QString& context);
    static DecodingError keyNotFound(const QString& key, CodingPath path, const QString& context);
    static DecodingError dataCorrupted(CodingPath path, const QString& context);

    Kind kind() const { return m_kind; }
    // The expected type's short name ("String", "Int64", "Notification"…); empty for
    // keyNotFound and dataCorrupted.
    const QString& typeName() const { return m_typeName; }
    // The missing key; empty unless keyNotFound.
    const QString& key() const { return m_key; }
    // For keyNotFound the path of the object that lacks the key.
    const CodingPath& codingPath() const { return m_codingPath; }
    const QString& contextDescription() const { return m_context; }

    // The path as a bracketed list: [0, "subject", "title"].
    QString codingPathText() const;

    // The case with its details, e.g. keyNotFound(key: "updated_at", codingPath: [0], …).
    QString description() const;
    QString localizedDescription() const;

    // The console lines that explain this error after a failed decode.
    QStringList diagnostics() const;

    friend bool operator==(const DecodingError&, const DecodingError&) = default;

private:
    DecodingError(Kind kind, QString typeName, QString key, CodingPath path, QString context);

    Kind m_kind;
    QString m_typeName;
    QString m_key;
    CodingPath m_codingPath;
    QString m_context;
};
