#pragma once

#include "desktop/AccountSession.h"
#include "views/RecordTableModel.h"

#include <QList>
#include <QPointer>

#include <algorithm>
#include <utility>

class AccountSessions;

// A feed table's rows drawn from every account's controller, or from one account's when
// the user picks it. The rows of several accounts merge newest first (each account's
// list is newest first already), or follow each other account by account where the list
// keeps an order of its own; a further
// account's record ids carry its group, so that records of two servers never share an
// id. The last column names each row's account: the login on screen, "login · host" as
// its tool tip and for assistive technology.
class AccountTableModel : public RecordTableModel
{
    Q_OBJECT

public:
    // The rows of one account that a selection holds.
    using AccountRows = std::pair<AccountSession*, QList<int>>;

    AccountTableModel(QList<Column> columns, AccountSessions& sessions, const Clock& clock, QObject* parent = nullptr);

    int accountColumn() const { return columnCount() - 1; }
    AccountSessions& sessions() const { return m_sessions; }
    // The account of `row`, or none for a row that is not listed.
    AccountSession* sessionAt(int row) const { return m_sessionOfRow.value(row); }
    // The account of a listed row.
    AccountSession& sessionOf(int row) const { return *m_sessionOfRow.at(row); }
    // The account whose rows show; none: every account's.
    AccountSession* shownSession() const { return m_shownSession; }
    void setShownSession(AccountSession* session);
    // `rows` by account, in the accounts' order.
    QList<AccountRows> rowsByAccount(const QList<int>& rows) const;
    // The user has several accounts: rows say whose they are.
    bool showsSeveralAccounts() const;

    // Holds the model's updates while it lives, then lists the rows once if any came:
    // for a change made to every account's feed in turn.
    class Batch
    {
    public:
        explicit Batch(AccountTableModel& model);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        AccountTableModel& m_model;
    };

Q_SIGNALS:
    // An account was added or removed.
    void accountsChanged();

protected:
    // Follows every account there is and each one added, then lists the rows: for the end
    // of a subclass's constructor.
    void followAccounts();
    // Connects what the model follows of an account's controller, with the model as context.
    virtual void follow(AccountSession& session) = 0;
    // Lists the rows afresh: what the subclass's refresh() does, unless a batch holds it.
    void update();
    virtual void refresh() = 0;

    // The accounts whose rows show.
    QList<AccountSession*> shownSessions() const;
    // The account column's cell.
    QVariant accountCellData(int row, int role) const;
    // The row id of the account's record `id`.
    QString rowId(const AccountSession* session, const QString& id) const;

    enum class Merge {
        NewestFirst,
        AccountByAccount,
    };

    // Makes the records `rowsOf` gives for each shown account the rows: `rows` takes the
    // records, `idOf` names each one.
    template <typename Record, typename RowsOf, typename IdOf>
    void replaceAccountRows(QList<Record>& rows, Merge merge, const RowsOf& rowsOf, const IdOf& idOf);

private:
    AccountSessions& m_sessions;
    QPointer<AccountSession> m_shownSession;
    // The account being removed, whose rows are gone already.
    QPointer<AccountSession> m_leavingSession;
    QList<AccountSession*> m_sessionOfRow;
    int m_batches = 0;
    bool m_updateHeld = false;
};

template <typename Record, typename RowsOf, typename IdOf>
void AccountTableModel::replaceAccountRows(QList<Record>& rows, Merge merge, const RowsOf& rowsOf, const IdOf& idOf)
{
    QList<std::pair<Record, AccountSession*>> merged;
    const auto newer = [](const auto& a, const auto& b) { return a.first->updatedAt() > b.first->updatedAt(); };
    for (AccountSession* session : shownSessions()) {
        const qsizetype runStart = merged.size();
        for (const Record& record : rowsOf(*session))
            merged.append({record, session});
        // Each account's run is newest first: merging it into the rows before keeps every
        // run's order (with one account there is nothing before it to merge with).
        if (merge == Merge::NewestFirst)
            std::inplace_merge(merged.begin(), merged.begin() + runStart, merged.end(), newer);
    }
    QStringList ids;
    QList<Record> records;
    QList<AccountSession*> owners;
    ids.reserve(merged.size());
    records.reserve(merged.size());
    owners.reserve(merged.size());
    for (const auto& [record, session] : merged) {
        ids << rowId(session, idOf(*record));
        records << record;
        owners << session;
    }
    replaceRows(std::move(ids), [this, &rows, &records, &owners] {
        rows = std::move(records);
        m_sessionOfRow = std::move(owners);
    });
}
