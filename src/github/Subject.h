#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

class JsonObjectReader;

// What a notification thread is about: its title, kind ("PullRequest", "Issue",
// "Discussion"…) and REST API URL as the server gives them, plus the three words the
// status refresh fills in locally (state, CI outcome, review outcome) and the cache keeps.
class Subject
{
public:
    Subject(QString title, QString type, std::optional<QString> url);

    const QString& title() const { return m_title; }
    const QString& type() const { return m_type; }
    const std::optional<QString>& url() const { return m_url; }
    const std::optional<QString>& state() const { return m_state; }
    const std::optional<QString>& ciStatus() const { return m_ciStatus; }
    const std::optional<QString>& reviewStatus() const { return m_reviewStatus; }

    void setTitle(const QString& title) { m_title = title; }
    void setState(const std::optional<QString>& state) { m_state = state; }
    void setCiStatus(const std::optional<QString>& ciStatus) { m_ciStatus = ciStatus; }
    void setReviewStatus(const std::optional<QString>& reviewStatus) { m_reviewStatus = reviewStatus; }

    // Throws DecodingError (see JsonValueReader).
    static Subject fromJson(const JsonObjectReader& object);
    // Optional fields are written only when they have a value.
    QJsonObject toJson() const;

    friend bool operator==(const Subject&, const Subject&) = default;

private:
    QString m_title;
    QString m_type;
    std::optional<QString> m_url;
    std::optional<QString> m_state;
    std::optional<QString> m_ciStatus;
    std::optional<QString> m_reviewStatus;
};
