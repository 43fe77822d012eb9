#include "storage/AccountBook.h"

#include "core/Console.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"
#include "storage/SecretStore.h"
#include "storage/SecureStorage.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QLatin1String kAccountLoginField {"login"};
const QLatin1String kAccountApiField {"apiBase"};
const QLatin1String kAccountWebField {"webBase"};
const QLatin1String kAccountGroupField {"group"};

// "account2", "account3"...: never the name of a top-level key, nor QSettings' "General".
bool isAccountGroup(const QString& group)
{
    static const QRegularExpression pattern(QStringLiteral("^account[0-9]+$"));
    return pattern.match(group).hasMatch();
}

bool sameLogin(const QString& one, const QString& other)
{
    return one.compare(other, Qt::CaseInsensitive) == 0;
}

} // namespace

AccountBook::AccountBook(
    PreferenceStore& preferences, const GitHubEndpoints& firstServer, Console& console, SecretsOf secretsOf)
    : m_preferences(preferences)
    , m_firstServer(firstServer)
    , m_console(console)
    , m_secretsOf(std::move(secretsOf))
{ }

Account AccountBook::first() const
{
    // TIDEWHELK_API_URL may have pointed the first account at another server since.
    const bool sameServerAsLogin = m_preferences.string(PreferenceKeys::accountServer) == m_firstServer.apiBase();
    const QString login
        = sameServerAsLogin ? m_preferences.string(PreferenceKeys::accountLogin).value_or(QString()) : QString();
    return Account {login, m_firstServer, {}};
}

QList<Account> AccountBook::accounts() const
{
    return QList<Account> {first()} + furtherAccounts();
}

QList<Account> AccountBook::furtherAccounts() const
{
    const std::optional<QByteArray> stored = m_preferences.data(PreferenceKeys::accounts);
    if (!stored)
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(*stored);
    if (!document.isArray()) {
        m_console.print(QStringLiteral("⚠️ The stored account list is damaged: only the first account is used"));
        return {};
    }
    QList<Account> further;
    QStringList groups;
    for (const QJsonValue& entry : document.array()) {
        const QJsonObject object = entry.toObject();
        Account account {object.value(kAccountLoginField).toString(),
            GitHubEndpoints(object.value(kAccountApiField).toString(), object.value(kAccountWebField).toString()),
            object.value(kAccountGroupField).toString()};
        if (account.login.isEmpty() || account.endpoints.apiBase().isEmpty() || account.endpoints.webBase().isEmpty()
            || !isAccountGroup(account.group) || groups.contains(account.group)) {
            m_console.print(QStringLiteral("⚠️ A damaged entry of the stored account list is ignored: ")
                + QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
            continue;
        }
        groups.append(account.group);
        further.append(account);
    }
    return further;
}

void AccountBook::store(const QList<Account>& further)
{
    if (further.isEmpty()) {
        m_preferences.remove(PreferenceKeys::accounts);
        return;
    }
    QJsonArray list;
    for (const Account& account : further) {
        list.append(QJsonObject {{kAccountLoginField, account.login}, {kAccountApiField, account.endpoints.apiBase()},
            {kAccountWebField, account.endpoints.webBase()}, {kAccountGroupField, account.group}});
    }
    m_preferences.setData(PreferenceKeys::accounts, QJsonDocument(list).toJson(QJsonDocument::Compact));
}

Account AccountBook::add(const QString& login, const GitHubEndpoints& endpoints)
{
    Account firstAccount = first();
    if (firstAccount.endpoints.isSameServer(endpoints)
        && (firstAccount.login.isEmpty() || sameLogin(firstAccount.login, login))) {
        if (firstAccount.login.isEmpty()) {
            firstAccount.login = login;
            m_preferences.setString(PreferenceKeys::accountLogin, login);
            m_preferences.setString(PreferenceKeys::accountServer, m_firstServer.apiBase());
        }
        return firstAccount;
    }
    QList<Account> further = furtherAccounts();
    for (const Account& account : further) {
        if (account.endpoints.isSameServer(endpoints) && sameLogin(account.login, login))
            return account;
    }
    const Account added {login, endpoints, unusedGroup(further)};
    further.append(added);
    store(further);
    return added;
}

QString AccountBook::unusedGroup(const QList<Account>& further) const
{
    // A group left in the file by a list that was lost holds another account's keys.
    const QStringList taken = m_preferences.childGroups();
    for (int number = 2;; ++number) {
        const QString group = QStringLiteral("account") + QString::number(number);
        const bool listed
            = std::any_of(further.cbegin(), further.cend(), [&](const Account& a) { return a.group == group; });
        if (!listed && !taken.contains(group))
            return group;
    }
}

AccountBook::Selection AccountBook::select(const QString& selector) const
{
    const qsizetype at = selector.lastIndexOf(u'@');
    QList<Account> matches;
    for (const Account& account : accounts()) {
        const bool hostMatches = account.host().compare(selector.mid(at + 1), Qt::CaseInsensitive) == 0;
        if (at >= 0 ? hostMatches && sameLogin(account.login, selector.left(at))
                    : hostMatches || (!account.login.isEmpty() && sameLogin(account.login, selector)))
            matches.append(account);
    }
    if (matches.size() == 1)
        return {matches.first(), {}};
    if (matches.isEmpty())
        return {std::nullopt,
            QStringLiteral("no account is \"") + selector + QStringLiteral("\"; the accounts are ") + names()};
    return {std::nullopt,
        u'"' + selector + QStringLiteral("\" names more than one account; give LOGIN@HOST, one of ") + names()};
}

QString AccountBook::names() const
{
    QStringList names;
    for (const Account& account : accounts())
        names.append(account.name());
    return names.join(QStringLiteral(", "));
}

void AccountBook::remove(const Account& account, SecretStore& secrets)
{
    if (account.isFirst())
        return;
    QList<Account> further = furtherAccounts();
    further.removeIf([&](const Account& listed) { return listed.group == account.group; });
    store(further);
    secrets.remove(QLatin1String(SecureStorage::kTokenKey));
    QString snapshot;
    {
        const std::unique_ptr<PreferenceStore> preferences = preferencesOf(account);
        preferences->removeAll();
        snapshot = preferences->snapshotPath();
    }
    // Only now: the store's last writes brought the group's snapshots to the file's stamp.
    QFile::remove(snapshot);
}

void AccountBook::removeFurtherAccounts()
{
    for (const Account& account : furtherAccounts())
        remove(account, *m_secretsOf(account));
}

std::unique_ptr<PreferenceStore> AccountBook::preferencesOf(const Account& account) const
{
    return std::make_unique<PreferenceStore>(m_preferences.filePath(), account.group);
}
