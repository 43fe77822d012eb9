#pragma once

#include "storage/Environment.h"
#include "views/ManualTokenInputView.h"

#include <QDialog>
#include <QPointer>

class GitHubOAuthService;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;
class QWidget;

// The sign-in sheet: runs GitHub's device flow with a service of its own (created with
// the sheet, released with it, which ends any polling) and shows its progress: the
// button to start, the user code to enter at GitHub with a copy button and a button
// that opens the verification page, errors and the flow's debug line. A second sheet
// takes a personal access token instead. The sheet closes itself half a second after
// the flow signed the user in; "Cancel" (or Escape) closes it at once.
class OAuthAuthenticationView : public QDialog
{
    Q_OBJECT

public:
    explicit OAuthAuthenticationView(const Environment& environment, QWidget* parent = nullptr);
    ~OAuthAuthenticationView() override;

    GitHubOAuthService& service() const { return *m_service; }
    // The manual token sheet while it is open.
    ManualTokenInputView* manualTokenInput() const { return m_manualTokenInput; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void showManualTokenInput();
    void updateState();
    // The tinted parts: red error, orange debug line, the code box in the accent colour.
    void applyColors();
    void copyUserCode();
    void openVerificationPage();

    Environment m_environment;
    GitHubOAuthService* m_service;
    QPointer<ManualTokenInputView> m_manualTokenInput;

    QWidget* m_idleSection;
    QPushButton* m_signInButton;
    QLabel* m_errorLabel;
    QWidget* m_requestingSection;
    QLabel* m_debugLabel;
    QWidget* m_codeSection;
    QFrame* m_codeBox;
    QLabel* m_userCodeLabel;
    QToolButton* m_copyButton;
    QPushButton* m_openButton;
    QPushButton* m_manualButton;
    QPushButton* m_cancelButton;
};
