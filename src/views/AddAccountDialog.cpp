#include "views/AddAccountDialog.h"

#include "core/Scheduler.h"
#include "desktop/AccountDirectory.h"
#include "desktop/AccountSessions.h"
#include "desktop/SignInStaging.h"
#include "storage/AccountBook.h"
#include "views/BusyIndicator.h"
#include "views/ColorPalette.h"
#include "views/Fonts.h"
#include "views/OAuthAuthenticationView.h"
#include "views/Symbols.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

using namespace std::chrono_literals;

namespace {

// Long enough to read "Added mona · github.example.com".
constexpr auto kCloseAfterAdding = 1500ms;

QLabel* captionLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFont(Fonts::caption(parent->font()));
    label->setWordWrap(true);
    return label;
}

// Why the text names no server, for the line under the field.
QString serverProblemOf(const QString& text)
{
    if (text.trimmed().isEmpty())
        return AddAccountDialog::tr("Enter the server's host name, such as github.example.com.");
    if (text.trimmed().contains(QRegularExpression(QStringLiteral("\\s"))))
        return AddAccountDialog::tr("A server address has no spaces.");
    return AddAccountDialog::tr(
        "Not a GitHub server: give a host name such as github.example.com, or its https:// address.");
}

} // namespace

AddAccountDialog::AddAccountDialog(AccountSessions& sessions, AccountDirectory& directory, QWidget* parent)
    : QDialog(parent)
    , m_sessions(sessions)
    , m_directory(directory)
    , m_environment(directory.environmentOf(directory.book().first()))
{
    setObjectName(QStringLiteral("addAccountDialog"));
    setWindowTitle(tr("Add Account"));
    setMinimumWidth(440);

    auto* title = new QLabel(tr("Add Account"), this);
    title->setFont(Fonts::headline(font()));
    auto* subtitle = captionLabel(this);
    subtitle->setText(tr("An account on github.com or on a GitHub Enterprise Server. Its notifications and "
                         "assignments show beside those of your other accounts."));
    subtitle->setForegroundRole(QPalette::PlaceholderText);

    m_serverField = new QLineEdit(QStringLiteral("github.com"), this);
    m_serverField->setObjectName(QStringLiteral("serverField"));
    m_serverField->setAccessibleName(tr("Server"));
    m_serverField->setPlaceholderText(QStringLiteral("github.example.com"));
    m_serverProblem = captionLabel(this);
    m_serverProblem->setObjectName(QStringLiteral("serverProblem"));

    // The device flow, offered where the server has a client id.
    m_deviceFlowSection = new QWidget(this);
    m_signInButton
        = new QPushButton(Symbols::icon(QStringLiteral("link")), tr("Sign In with GitHub"), m_deviceFlowSection);
    m_signInButton->setObjectName(QStringLiteral("signInWithGitHub"));
    m_signInButton->setAccessibleName(tr("Sign In with GitHub"));
    auto* orLabel = captionLabel(m_deviceFlowSection);
    orLabel->setText(tr("or paste a personal access token:"));
    orLabel->setForegroundRole(QPalette::PlaceholderText);
    auto* deviceFlowLayout = new QVBoxLayout(m_deviceFlowSection);
    deviceFlowLayout->setContentsMargins(0, 0, 0, 0);
    deviceFlowLayout->addWidget(m_signInButton, 0, Qt::AlignLeft);
    deviceFlowLayout->addWidget(orLabel);
    m_noDeviceFlow = captionLabel(this);
    m_noDeviceFlow->setObjectName(QStringLiteral("noDeviceFlow"));
    m_noDeviceFlow->setForegroundRole(QPalette::PlaceholderText);

    m_tokenField = new QLineEdit(this);
    m_tokenField->setObjectName(QStringLiteral("tokenField"));
    m_tokenField->setAccessibleName(tr("Personal access token"));
    m_tokenField->setEchoMode(QLineEdit::Password);
    m_tokenField->setPlaceholderText(QStringLiteral("ghp_…"));

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(tr("Server:"), m_serverField);
    form->addRow(QString(), m_serverProblem);
    form->addRow(QString(), m_deviceFlowSection);
    form->addRow(QString(), m_noDeviceFlow);
    form->addRow(tr("Personal access token:"), m_tokenField);

    m_busyRow = new QWidget(this);
    m_busyRow->setObjectName(QStringLiteral("checkingToken"));
    auto* busyIndicator = new BusyIndicator(16, m_busyRow);
    m_busyLabel = captionLabel(m_busyRow);
    auto* busyLayout = new QHBoxLayout(m_busyRow);
    busyLayout->setContentsMargins(0, 0, 0, 0);
    busyLayout->addWidget(busyIndicator);
    busyLayout->addWidget(m_busyLabel, 1);
    m_resultLabel = captionLabel(this);
    m_resultLabel->setObjectName(QStringLiteral("addResult"));
    m_resultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelAddAccount"));
    m_cancelButton->setAccessibleName(tr("Cancel"));
    m_addButton = new QPushButton(tr("Add Account"), this);
    m_addButton->setObjectName(QStringLiteral("addAccount"));
    m_addButton->setAccessibleName(tr("Add Account"));
    m_addButton->setDefault(true);
    m_signInButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_addButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addLayout(form);
    layout->addWidget(m_busyRow);
    layout->addWidget(m_resultLabel);
    layout->addLayout(buttons);

    connect(m_serverField, &QLineEdit::textChanged, this, [this] {
        m_resultLabel->clear();
        updateControls();
    });
    connect(m_tokenField, &QLineEdit::textChanged, this, &AddAccountDialog::updateControls);
    connect(m_addButton, &QPushButton::clicked, this, &AddAccountDialog::addWithToken);
    connect(m_signInButton, &QPushButton::clicked, this, &AddAccountDialog::signInWithGitHub);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    applyColors();
    updateControls();
}

AddAccountDialog::~AddAccountDialog()
{
    // The sheet's flow keeps its token in the staging stores: it goes first.
    delete m_signInSheet;
}

std::optional<ServerAddress> AddAccountDialog::server() const
{
    return ServerAddress::parse(m_serverField->text());
}

void AddAccountDialog::updateControls()
{
    const std::optional<ServerAddress> address = server();
    const bool busy = !m_enrolment.isNull();
    const bool deviceFlow = address && !m_directory.oauthClientIdFor(address->endpoints()).isEmpty();
    m_serverProblem->setVisible(!address);
    m_serverProblem->setText(address ? QString() : serverProblemOf(m_serverField->text()));
    m_deviceFlowSection->setVisible(!address || deviceFlow);
    m_noDeviceFlow->setVisible(address && !deviceFlow);
    if (address && !deviceFlow)
        m_noDeviceFlow->setText(
            tr("No sign-in app is set up for %1 (TIDEWHELK_CLIENT_IDS): paste a personal access token.")
                .arg(address->host()));
    m_serverField->setEnabled(!busy);
    m_tokenField->setEnabled(!busy);
    m_signInButton->setEnabled(!busy && deviceFlow);
    m_addButton->setEnabled(!busy && address && !m_tokenField->text().isEmpty());
    m_busyRow->setVisible(busy);
    m_resultLabel->setVisible(!m_resultLabel->text().isEmpty());
}

void AddAccountDialog::addWithToken()
{
    const std::optional<ServerAddress> address = server();
    if (address && !m_tokenField->text().isEmpty())
        enrol(*address, m_tokenField->text());
}

void AddAccountDialog::signInWithGitHub()
{
    const std::optional<ServerAddress> address = server();
    if (!address || m_signInSheet)
        return;
    m_staging = std::make_unique<SignInStaging>(m_directory, *address);
    auto* sheet = new OAuthAuthenticationView(m_staging->environment(), this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    // The sheet closes itself once the flow (or its pasted token) stored a token.
    connect(sheet, &QDialog::accepted, this, [this, address = *address] {
        if (const std::optional<QString> token = m_staging->token())
            enrol(address, *token);
    });
    m_signInSheet = sheet;
    sheet->open();
}

void AddAccountDialog::enrol(const ServerAddress& server, const QString& token)
{
    m_resultLabel->clear();
    m_busyLabel->setText(tr("Checking the token with %1…").arg(server.host()));
    auto* enrolment = new AccountEnrolment(m_directory, server, token, this);
    connect(enrolment, &AccountEnrolment::added, this, &AddAccountDialog::enrolled);
    connect(enrolment, &AccountEnrolment::failed, this,
        [this, host = server.host()](
            AccountEnrolment::Failure failure, const QString& detail) { enrolmentFailed(host, failure, detail); });
    m_enrolment = enrolment;
    enrolment->start();
    updateControls();
}

void AddAccountDialog::enrolled(const Account& account)
{
    // A token of an account the window shows already replaces its token.
    if (AccountSession* shown = m_sessions.sessionOf(account)) {
        shown->resumeAfterSignIn();
        showResult(tr("Stored the new token of %1").arg(account.label()), false);
    } else {
        m_sessions.add(account);
        showResult(tr("Added %1").arg(account.label()), false);
    }
    dropEnrolment();
    m_tokenField->clear();
    updateControls();
    m_addButton->setEnabled(false);
    m_environment.scheduler->singleShot(kCloseAfterAdding, this, [this] { accept(); });
}

void AddAccountDialog::enrolmentFailed(const QString& host, AccountEnrolment::Failure failure, const QString& detail)
{
    switch (failure) {
    case AccountEnrolment::Failure::Refused:
        showResult(
            tr("%1 refused this token: check that it was copied whole and has not expired or been revoked.").arg(host),
            true);
        break;
    case AccountEnrolment::Failure::NoAnswer:
        showResult(
            tr("%1 did not answer (%2). Check the server's address and your connection.").arg(host, detail), true);
        break;
    case AccountEnrolment::Failure::Other:
        showResult(tr("No account could be read from %1 (%2).").arg(host, detail), true);
        break;
    }
    dropEnrolment();
    updateControls();
}

void AddAccountDialog::showResult(const QString& text, bool failure)
{
    m_resultIsFailure = failure;
    m_resultLabel->setText(text);
    applyColors();
}

void AddAccountDialog::applyColors()
{
    const ColorPalette colors(palette());
    QPalette problemPalette = m_serverProblem->palette();
    problemPalette.setColor(QPalette::WindowText, colors.color(ColorPalette::Name::Red));
    m_serverProblem->setPalette(problemPalette);
    QPalette resultPalette = m_resultLabel->palette();
    resultPalette.setColor(QPalette::WindowText,
        m_resultIsFailure ? colors.color(ColorPalette::Name::Red) : palette().color(QPalette::WindowText));
    m_resultLabel->setPalette(resultPalette);
}

void AddAccountDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // The desktop switched between light and dark: the colours above were the old ones.
    if (event->type() == QEvent::PaletteChange)
        applyColors();
}

void AddAccountDialog::reject()
{
    if (AccountEnrolment* enrolment = m_enrolment)
        enrolment->cancel();
    dropEnrolment();
    QDialog::reject();
}

void AddAccountDialog::dropEnrolment()
{
    // It may be reporting right now: it goes on the next turn of the event loop.
    if (AccountEnrolment* enrolment = m_enrolment)
        enrolment->deleteLater();
    m_enrolment = nullptr;
}
