#pragma once

#include "github/Issue.h"
#include "views/RecordTableModel.h"

class AssignmentsViewModel;
class Clock;

// The rows of the Assignments tab (the controller's filtered items: the favourites only
// when so asked, never an archived one, newest first) or of its archived panel (the
// archived items, in list order), with the columns Actions (star and archive), Title,
// Repository, Type, Updated At and Status. Updated in place like the notifications'.
class AssignmentListModel : public RecordTableModel
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
        ColumnCount,
    };

    AssignmentListModel(AssignmentsViewModel& viewModel, Source source, const Clock& clock, QObject* parent = nullptr);

    IssuePtr issueAt(int row) const { return m_rows.value(row); }
    QList<IssuePtr> issuesAt(const QList<int>& rows) const;

protected:
    QVariant cellData(int row, int column, int role) const override;

private:
    QList<IssuePtr> currentRows() const;
    void refresh();
    void addRowActions();

    AssignmentsViewModel& m_viewModel;
    Source m_source;
    QList<IssuePtr> m_rows;
};
