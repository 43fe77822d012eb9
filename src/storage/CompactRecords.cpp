#include "storage/CompactRecords.h"

#include <QHash>
#include <QtEndian>

#include <cstring>

// Texts are stored as their UTF-16 code units, copied as they are in memory.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the compact form is little-endian");

namespace {

// Eight bytes, like every number, so that the texts after it stay aligned.
constexpr qint64 kNotifications = 'N';
constexpr qint64 kIssues = 'I';
// The length of an absent optional text, and the index of an absent shared one.
constexpr qint32 kAbsent = -1;

// Appends numbers and texts to a form.
class Writer
{
public:
    explicit Writer(QByteArray& bytes)
        : m_bytes(bytes)
    { }

    void number(qint64 value)
    {
        const qint64 little = qToLittleEndian(value);
        m_bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
    }
    void index(qint32 value)
    {
        const qint32 little = qToLittleEndian(value);
        m_bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
    }
    void text(const QString& value)
    {
        index(static_cast<qint32>(value.size()));
        m_bytes.append(reinterpret_cast<const char*>(value.utf16()), value.size() * 2);
    }
    void text(const std::optional<QString>& value)
    {
        if (value)
            text(*value);
        else
            index(kAbsent);
    }

private:
    QByteArray& m_bytes;
};

// Reads what Writer wrote, straight from memory; any read beyond the end or of a
// negative length marks the form as damaged.
class Reader
{
public:
    explicit Reader(const QByteArray& bytes)
        : m_data(bytes.constData())
        , m_end(bytes.constData() + bytes.size())
    { }

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_data == m_end; }

    qint64 number() { return fixed<qint64>(); }
    qint32 index() { return fixed<qint32>(); }
    std::optional<QString> optionalText()
    {
        const qint32 length = index();
        if (length == kAbsent)
            return std::nullopt;
        if (length < 0 || (m_end - m_data) / 2 < length) {
            m_ok = false;
            return std::nullopt;
        }
        QString value(reinterpret_cast<const QChar*>(m_data), length);
        m_data += static_cast<qsizetype>(length) * 2;
        return value;
    }
    QString text()
    {
        std::optional<QString> value = optionalText();
        if (!value)
            m_ok = false;
        return value.value_or(QString());
    }

private:
    template <typename T>
    T fixed()
    {
        if (m_end - m_data < static_cast<qsizetype>(sizeof(T))) {
            m_ok = false;
            m_data = m_end;
            return 0;
        }
        T value;
        std::memcpy(&value, m_data, sizeof value);
        m_data += sizeof value;
        return qFromLittleEndian(value);
    }

    const char* m_data;
    const char* m_end;
    bool m_ok = true;
};

// The texts that few distinct values fill (kinds, states, repositories, reasons), each
// written once: the records name them by index and share one string each when read.
class SharedTexts
{
public:
    qint32 indexOf(const std::optional<QString>& text)
    {
        if (!text)
            return kAbsent;
        const auto known = m_indexes.constFind(*text);
        if (known != m_indexes.cend())
            return *known;
        const auto index = static_cast<qint32>(m_texts.size());
        m_indexes.insert(*text, index);
        m_texts.append(*text);
        return index;
    }
    const QList<QString>& texts() const { return m_texts; }

private:
    QHash<QString, qint32> m_indexes;
    QList<QString> m_texts;
};

// The text at `index` of `texts`; false when the index names none.
bool sharedText(const QList<QString>& texts, qint32 index, std::optional<QString>& text)
{
    if (index == kAbsent) {
        text.reset();
        return true;
    }
    if (index < 0 || index >= texts.size())
        return false;
    text = texts.at(index);
    return true;
}

// A form: its kind, the shared texts, the record count and the records.
QByteArray formOf(qint64 kind, const SharedTexts& shared, qsizetype count, const QByteArray& records)
{
    QByteArray form;
    Writer writer(form);
    writer.number(kind);
    writer.number(shared.texts().size());
    for (const QString& text : shared.texts())
        writer.text(text);
    writer.number(count);
    form.append(records);
    return form;
}

// Reads the head of a form of `kind` up to its records: the shared texts, and the
// record count. False when the form is of another kind or damaged.
bool readHead(Reader& reader, qint64 kind, qsizetype formSize, QList<QString>& texts, qint64& count)
{
    if (reader.number() != kind)
        return false;
    const qint64 textCount = reader.number();
    // Each text and record takes more than a byte: a larger count is damage, not a list.
    if (!reader.ok() || textCount < 0 || textCount > formSize)
        return false;
    texts.reserve(textCount);
    for (qint64 i = 0; i < textCount; ++i)
        texts.append(reader.text());
    count = reader.number();
    return reader.ok() && count >= 0 && count <= formSize;
}

} // namespace

namespace CompactRecords {

QByteArray encode(const QList<NotificationPtr>& notifications)
{
    SharedTexts shared;
    QByteArray records;
    Writer recordWriter(records);
    for (const NotificationPtr& notification : notifications) {
        const Subject& subject = notification->subject();
        recordWriter.text(notification->id());
        recordWriter.text(subject.title());
        recordWriter.index(shared.indexOf(subject.type()));
        recordWriter.text(subject.url());
        recordWriter.index(shared.indexOf(subject.state()));
        recordWriter.index(shared.indexOf(subject.ciStatus()));
        recordWriter.index(shared.indexOf(subject.reviewStatus()));
        recordWriter.index(shared.indexOf(notification->repository().fullName()));
        recordWriter.index(shared.indexOf(notification->reason()));
        recordWriter.text(notification->updatedAt());
    }
    return formOf(kNotifications, shared, notifications.size(), records);
}

std::optional<QList<NotificationPtr>> decodeNotifications(const QByteArray& form)
{
    Reader reader(form);
    QList<QString> texts;
    qint64 count = 0;
    if (!readHead(reader, kNotifications, form.size(), texts, count))
        return std::nullopt;
    QList<NotificationPtr> notifications;
    notifications.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        QString id = reader.text();
        QString title = reader.text();
        std::optional<QString> type;
        const bool hasType = sharedText(texts, reader.index(), type) && type;
        std::optional<QString> url = reader.optionalText();
        std::optional<QString> state;
        std::optional<QString> ciStatus;
        std::optional<QString> reviewStatus;
        std::optional<QString> fullName;
        std::optional<QString> reason;
        const bool known = sharedText(texts, reader.index(), state) && sharedText(texts, reader.index(), ciStatus)
            && sharedText(texts, reader.index(), reviewStatus) && sharedText(texts, reader.index(), fullName)
            && fullName && sharedText(texts, reader.index(), reason);
        QString updatedAt = reader.text();
        if (!reader.ok() || !hasType || !known)
            return std::nullopt;
        Subject subject(std::move(title), std::move(*type), std::move(url));
        subject.setState(state);
        subject.setCiStatus(ciStatus);
        subject.setReviewStatus(reviewStatus);
        notifications.append(std::make_shared<Notification>(std::move(id), std::move(subject),
            Repository(std::move(*fullName)), std::move(reason), std::move(updatedAt)));
    }
    if (!reader.atEnd())
        return std::nullopt;
    return notifications;
}

QByteArray encode(const QList<IssuePtr>& issues)
{
    SharedTexts shared;
    QByteArray records;
    Writer recordWriter(records);
    for (const IssuePtr& issue : issues) {
        recordWriter.number(issue->id());
        recordWriter.text(issue->title());
        recordWriter.text(issue->htmlUrl());
        recordWriter.text(issue->repositoryUrl());
        recordWriter.text(issue->labelsUrl());
        recordWriter.text(issue->commentsUrl());
        recordWriter.text(issue->eventsUrl());
        recordWriter.index(shared.indexOf(issue->state()));
        recordWriter.text(issue->createdAt());
        recordWriter.text(issue->updatedAt());
        recordWriter.text(issue->closedAt());
        recordWriter.text(issue->body());
        const std::optional<Repository>& repository = issue->repository();
        recordWriter.index(shared.indexOf(repository ? std::optional(repository->fullName()) : std::nullopt));
        const std::optional<PullRequestInfo>& pullRequest = issue->pullRequest();
        recordWriter.index(pullRequest ? 1 : 0);
        if (pullRequest) {
            recordWriter.text(pullRequest->url());
            recordWriter.text(pullRequest->htmlUrl());
            recordWriter.text(pullRequest->diffUrl());
            recordWriter.text(pullRequest->patchUrl());
            recordWriter.text(pullRequest->mergedAt());
        }
    }
    return formOf(kIssues, shared, issues.size(), records);
}

std::optional<QList<IssuePtr>> decodeIssues(const QByteArray& form)
{
    Reader reader(form);
    QList<QString> texts;
    qint64 count = 0;
    if (!readHead(reader, kIssues, form.size(), texts, count))
        return std::nullopt;
    QList<IssuePtr> issues;
    issues.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const qint64 id = reader.number();
        QString title = reader.text();
        QString htmlUrl = reader.text();
        Issue::OptionalFields optional;
        optional.repositoryUrl = reader.optionalText();
        optional.labelsUrl = reader.optionalText();
        optional.commentsUrl = reader.optionalText();
        optional.eventsUrl = reader.optionalText();
        std::optional<QString> state;
        const bool hasState = sharedText(texts, reader.index(), state) && state;
        optional.createdAt = reader.optionalText();
        QString updatedAt = reader.text();
        optional.closedAt = reader.optionalText();
        optional.body = reader.optionalText();
        std::optional<QString> fullName;
        const bool knownRepository = sharedText(texts, reader.index(), fullName);
        if (fullName)
            optional.repository = Repository(std::move(*fullName));
        const qint32 isPullRequest = reader.index();
        if (isPullRequest == 1) {
            std::optional<QString> url = reader.optionalText();
            std::optional<QString> pullRequestHtmlUrl = reader.optionalText();
            std::optional<QString> diffUrl = reader.optionalText();
            std::optional<QString> patchUrl = reader.optionalText();
            optional.pullRequest = PullRequestInfo(std::move(url), std::move(pullRequestHtmlUrl), std::move(diffUrl),
                std::move(patchUrl), reader.optionalText());
        }
        if (!reader.ok() || !hasState || !knownRepository || (isPullRequest != 0 && isPullRequest != 1))
            return std::nullopt;
        issues.append(std::make_shared<Issue>(
            id, std::move(title), std::move(htmlUrl), std::move(*state), std::move(updatedAt), std::move(optional)));
    }
    if (!reader.atEnd())
        return std::nullopt;
    return issues;
}

} // namespace CompactRecords
