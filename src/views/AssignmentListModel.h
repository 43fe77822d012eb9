#pragma once

#include "github/Issue.h"
#include "views/AccountTableModel.h"

class AssignmentsViewModel;
class Clock;

// The rows of the Assignments tab (the controllers' filtered items: the favourites only
// when so asked, never an archived one, newest first) or of its archived panel (the
// archived items, in list order), with the columns Actions (star and archive), Title,
// Repository, Type, Updated At, Status and Account. Updated in place like the
// notifications'; each row's actions go to its own account's controller.
class AssignmentListModel : public AccountTableModel
{
    Q_OBJECT

public:
    enum class Source {
        Table,
        Archived,
    };

    enum Column {
        ActionsColumn,
        TitleColumn,
        RepositoryColumn,
        TypeColumn,
        UpdatedAtColumn,
        StatusColumn,
        AccountColumn,
        ColumnCount,
    };

    AssignmentListModel(AccountSessions& sessions, Source source, const Clock& clock, QObject* parent = nullptr);

    IssuePtr issueAt(int row) const { return m_rows.value(row); }
    QList<IssuePtr> issuesAt(const QList<int>& rows) const;

protected:
    QVariant cellData(int row, int column, int role) const override;
    void follow(AccountSession& session) override;
    void refresh() override;

private:
    void addRowActions();
    AssignmentsViewModel& viewModelAt(int row) const;

    Source m_source;
    QList<IssuePtr> m_rows;
};
