#pragma once

#include "desktop/AccountEnrolment.h"
#include "github/ServerAddress.h"
#include "views/OAuthAuthenticationView.h"

#include <QDialog>
#include <QPointer>

#include <memory>
#include <optional>

class AccountDirectory;
class AccountSessions;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class SignInStaging;
struct Environment;

// "Add Account": a server ("github.com" unless the user names a GitHub Enterprise Server),
// then either the device flow on that server (when a client id is configured for it) or a
// pasted personal access token. AccountEnrolment learns whose the token is and stores it;
// the new account's session opens at once and the dialog closes a moment after saying
// so. A refused token or a server that does not answer leaves its error in the dialog and
// adds nothing.
class AddAccountDialog : public QDialog
{
    Q_OBJECT

public:
    AddAccountDialog(AccountSessions& sessions, AccountDirectory& directory, QWidget* parent = nullptr);
    ~AddAccountDialog() override;

    // The device-flow sheet while it is open.
    OAuthAuthenticationView* signInSheet() const { return m_signInSheet; }

protected:
    void changeEvent(QEvent* event) override;
    // Closing while a token is checked abandons it: nothing is added then.
    void reject() override;

private:
    std::optional<ServerAddress> server() const;
    void updateControls();
    void addWithToken();
    void signInWithGitHub();
    void enrol(const ServerAddress& server, const QString& token);
    void enrolled(const Account& account);
    void enrolmentFailed(const QString& host, AccountEnrolment::Failure failure, const QString& detail);
    void dropEnrolment();
    void showResult(const QString& text, bool failure);
    // The problem under the server field in red.
    void applyColors();

    AccountSessions& m_sessions;
    AccountDirectory& m_directory;
    const Environment& m_environment;
    // Where the device flow keeps its token until the enrolment knows whose it is.
    std::unique_ptr<SignInStaging> m_staging;
    QPointer<OAuthAuthenticationView> m_signInSheet;
    // The token being checked; none while the dialog waits for the user.
    QPointer<AccountEnrolment> m_enrolment;
    bool m_resultIsFailure = false;

    QLineEdit* m_serverField;
    QLabel* m_serverProblem;
    QWidget* m_deviceFlowSection;
    QPushButton* m_signInButton;
    QLabel* m_noDeviceFlow;
    QLineEdit* m_tokenField;
    QPushButton* m_addButton;
    QWidget* m_busyRow;
    QLabel* m_busyLabel;
    QLabel* m_resultLabel;
    QPushButton* m_cancelButton;
};
