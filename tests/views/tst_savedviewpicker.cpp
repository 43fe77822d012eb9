#include "FeedSteps.h"
#include "GitHubTestEnvironment.h"
#include "Widgets.h"
#include "desktop/AccountSessions.h"
#include "feeds/SavedViews.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"
#include "views/ManageViewsDialog.h"
#include "views/NotificationsTab.h"
#include "views/SaveViewDialog.h"
#include "views/SavedViewModel.h"
#include "views/SavedViewPicker.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kToken = u"ghp_savedViews"_s;

QString minutesAgo(int minutes)
{
    return VirtualScheduler::defaultStart().addSecs(-60 * minutes).toString(Qt::ISODate);
}

} // namespace

// The saved views beside the notifications filter: choosing one filters the list, "Save
// View…" adds the field's query, and the manage dialog's renames, moves and deletions
// reach the picker and the preference file.
class TestSavedViewPicker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void choosingAViewFiltersTheList();
    void saveViewAddsTheFieldsQuery();
    void manageDialogRenamesMovesAndDeletes();
    void everyControlHasAnAccessibleName();

private:
    QWidget* tab() const { return m_tab.get(); }
    QComboBox* picker() const { return widget<QComboBox>(tab(), u"savedViewPicker"_s); }
    QString count() const { return widget<QLabel>(tab(), u"notificationCount"_s)->text(); }
    ManageViewsDialog* openManageDialog();

    std::unique_ptr<GitHubTestEnvironment> m_world;
    std::unique_ptr<AccountSessions> m_sessions;
    NotificationsViewModel* m_viewModel = nullptr;
    std::unique_ptr<NotificationsTab> m_tab;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void TestSavedViewPicker::init()
{
    m_world = std::make_unique<GitHubTestEnvironment>();
    m_world->signIn(kToken);
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    const QList<std::pair<QString, QString>> threads {
        {u"mention"_s, u"Crash at start"_s},
        {u"team_mention"_s, u"Docs for the team"_s},
        {u"subscribed"_s, u"Release notes"_s},
    };
    int number = 0;
    for (const auto& [reason, title] : threads) {
        ++number;
        server.addNotification(payloads.thread({.id = QString::number(number),
            .number = number,
            .title = title,
            .reason = reason,
            .updatedAt = minutesAgo(number)}));
        server.setResource(u"/repos/octocat/Hello-World/issues/"_s + QString::number(number),
            payloads.issue({.number = number, .title = title}));
    }
    m_sessions = std::make_unique<AccountSessions>(m_world->environment(), FeedController::StartUp::Now);
    m_viewModel = &m_sessions->first().notifications();
    m_tab = std::make_unique<NotificationsTab>(*m_sessions);
    m_tab->resize(1200, 600);
    m_tab->show();
    m_tester = std::make_unique<QAbstractItemModelTester>(
        picker()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(FeedSteps::waitForSync(*m_viewModel) == SyncOutcome::Succeeded);
    QVERIFY(FeedSteps::runStatusRefresh(m_world->scheduler(), *m_viewModel));
    m_world->scheduler().advance(3s);
}

void TestSavedViewPicker::cleanup()
{
    m_tester.reset();
    m_tab.reset();
    m_sessions.reset();
    m_viewModel = nullptr;
    m_world.reset();
}

ManageViewsDialog* TestSavedViewPicker::openManageDialog()
{
    QTest::mouseClick(widget(tab(), u"manageViews"_s), Qt::LeftButton);
    auto* dialog = widget<ManageViewsDialog>(tab(), u"manageViewsDialog"_s);
    if (!dialog->isVisible())
        qFatal("the manage dialog is not shown");
    return dialog;
}

void TestSavedViewPicker::choosingAViewFiltersTheList()
{
    QCOMPARE(comboItems(picker()),
        (QStringList {u"Review requested"_s, u"Failing CI"_s, u"Mentions"_s, u"Open pull requests"_s}));
    QCOMPARE(picker()->currentIndex(), -1);
    QCOMPARE(count(), u"Total Notifications: 3"_s);

    picker()->setCurrentIndex(2);
    Q_EMIT picker()->activated(2);
    QCOMPARE(widget<QLineEdit>(tab(), u"filterField"_s)->text(), u"reason:mention reason:team_mention"_s);
    QCOMPARE(m_viewModel->textFilter(), u"reason:mention reason:team_mention"_s);
    QCOMPARE(count(), u"Total Notifications: 2"_s);
    QVERIFY(widget(tab(), u"clearFilter"_s)->isVisible());

    // Typing away from the view's query leaves the picker on no view.
    QTest::keyClicks(widget<QLineEdit>(tab(), u"filterField"_s), u" crash"_s);
    QCOMPARE(picker()->currentIndex(), -1);
    QCOMPARE(count(), u"Total Notifications: 1"_s);
    // Clearing the filter shows every row again.
    QTest::mouseClick(widget(tab(), u"clearFilter"_s), Qt::LeftButton);
    QCOMPARE(count(), u"Total Notifications: 3"_s);
}

void TestSavedViewPicker::saveViewAddsTheFieldsQuery()
{
    auto* save = widget<QToolButton>(tab(), u"saveView"_s);
    QVERIFY(!save->isEnabled());
    QTest::keyClicks(widget<QLineEdit>(tab(), u"filterField"_s), u"-reason:subscribed crash"_s);
    QVERIFY(save->isEnabled());

    QTest::mouseClick(save, Qt::LeftButton);
    auto* dialog = widget<SaveViewDialog>(tab(), u"saveViewDialog"_s);
    QVERIFY(dialog->isVisible());
    QCOMPARE(widget<QLabel>(dialog, u"savedQuery"_s)->text(), u"-reason:subscribed crash"_s);
    auto* confirm = widget<QPushButton>(dialog, u"saveViewButton"_s);
    QVERIFY(!confirm->isEnabled());
    QTest::keyClicks(widget<QLineEdit>(dialog, u"viewName"_s), u"  Crashes  "_s);
    QVERIFY(confirm->isEnabled());
    QTest::mouseClick(confirm, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());

    QCOMPARE(comboItems(picker()).last(), u"Crashes"_s);
    // The field holds the saved query: the picker shows the new view.
    QCOMPARE(picker()->currentIndex(), 4);
    QCOMPARE(picker()->currentData(SavedViewModel::QueryRole).toString(), u"-reason:subscribed crash"_s);
    QCOMPARE(SavedViews::decode(*m_world->environment().preferences->data(PreferenceKeys::notificationViews))->last(),
        (SavedView {u"Crashes"_s, u"-reason:subscribed crash"_s}));

    // Cancel saves nothing.
    QTest::mouseClick(save, Qt::LeftButton);
    auto* second = widget<SaveViewDialog>(tab(), u"saveViewDialog"_s);
    QTest::keyClicks(widget<QLineEdit>(second, u"viewName"_s), u"Other"_s);
    QTest::mouseClick(widget(second, u"cancelSaveView"_s), Qt::LeftButton);
    QCOMPARE(picker()->count(), 5);
}

void TestSavedViewPicker::manageDialogRenamesMovesAndDeletes()
{
    ManageViewsDialog* dialog = openManageDialog();
    QListView* list = dialog->list();
    QAbstractItemModelTester listTester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(list->currentIndex().row(), 0);
    QVERIFY(!widget(dialog, u"moveViewUp"_s)->isEnabled());

    // Rename in place.
    QTest::mouseClick(widget(dialog, u"renameView"_s), Qt::LeftButton);
    auto* editor = list->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, u"Reviews"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits the editor's text in a posted call.
    QCoreApplication::processEvents();
    QCOMPARE(picker()->itemText(0), u"Reviews"_s);

    // The second view goes up, then the last one is deleted.
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::mouseClick(widget(dialog, u"moveViewUp"_s), Qt::LeftButton);
    QCOMPARE(list->currentIndex().row(), 0);
    list->setCurrentIndex(list->model()->index(3, 0));
    QVERIFY(!widget(dialog, u"moveViewDown"_s)->isEnabled());
    QTest::mouseClick(widget(dialog, u"deleteView"_s), Qt::LeftButton);
    QCOMPARE(comboItems(picker()), (QStringList {u"Failing CI"_s, u"Reviews"_s, u"Mentions"_s}));
    QCOMPARE(list->currentIndex().row(), 2);

    // Deleting every view leaves an empty list that stays empty.
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(widget(dialog, u"deleteView"_s), Qt::LeftButton);
    QCOMPARE(picker()->count(), 0);
    QVERIFY(!widget(dialog, u"deleteView"_s)->isEnabled());
    QCOMPARE(m_world->environment().preferences->data(PreferenceKeys::notificationViews), QByteArray("[]"));

    QTest::mouseClick(widget(dialog, u"closeManageViews"_s), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
}

void TestSavedViewPicker::everyControlHasAnAccessibleName()
{
    QTest::keyClicks(widget<QLineEdit>(tab(), u"filterField"_s), u"is:pr"_s);
    QTest::mouseClick(widget(tab(), u"saveView"_s), Qt::LeftButton);
    ManageViewsDialog* manage = openManageDialog();
    for (QWidget* root :
        {static_cast<QWidget*>(widget<SavedViewPicker>(tab(), u"savedViews"_s)), static_cast<QWidget*>(manage),
            static_cast<QWidget*>(widget<SaveViewDialog>(tab(), u"saveViewDialog"_s))}) {
        for (QWidget* control : root->findChildren<QWidget*>()) {
            // The picker's popup is a window of its own; each dialog is checked as a root.
            const bool isControl = control->inherits("QAbstractButton") || control->inherits("QComboBox")
                || control->inherits("QLineEdit") || control->inherits("QAbstractItemView");
            if (!isControl || control->window() != root->window())
                continue;
            QVERIFY2(!control->objectName().isEmpty(), control->metaObject()->className());
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }
    }
}

QTEST_MAIN(TestSavedViewPicker)
#include "tst_savedviewpicker.moc"
