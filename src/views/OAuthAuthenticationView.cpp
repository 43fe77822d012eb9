#include "views/OAuthAuthenticationView.h"

#include "core/Scheduler.h"
#include "signin/GitHubOAuthService.h"
#include "views/BusyIndicator.h"
#include "views/ColorPalette.h"
#include "views/Fonts.h"
#include "views/ManualTokenInputView.h"
#include "views/Symbols.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace std::chrono_literals;

namespace {

constexpr auto kCloseAfterSignIn = 500ms;

QLabel* secondaryLabel(const QString& text, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QFrame* separatorLine(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// The main action of a section: larger, and the dialog's default.
void makeProminent(QPushButton* button)
{
    QFont font = button->font();
    font.setPointSizeF(font.pointSizeF() * 1.1);
    font.setWeight(QFont::DemiBold);
    button->setFont(font);
    button->setMinimumHeight(36);
    button->setIconSize(QSize(18, 18));
}

} // namespace

OAuthAuthenticationView::OAuthAuthenticationView(const Environment& environment, QWidget* parent)
    : QDialog(parent)
    , m_environment(environment)
    , m_service(new GitHubOAuthService(environment, this))
{
    setObjectName(QStringLiteral("signInSheet"));
    setWindowTitle(tr("Connect to GitHub"));
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(440);

    auto* title = new QLabel(tr("Connect to GitHub"), this);
    title->setFont(Fonts::headline(font()));
    auto* subtitle
        = secondaryLabel(tr("Authenticate with your GitHub account to sync notifications and issues securely."),
            Fonts::caption(font()), this);
    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    header->addWidget(title, 0, Qt::AlignHCenter);
    header->addWidget(subtitle);

    // Not authenticating: the button, then the last error.
    m_idleSection = new QWidget(this);
    m_signInButton = new QPushButton(Symbols::icon(QStringLiteral("link")), tr("Sign in with GitHub"), m_idleSection);
    m_signInButton->setObjectName(QStringLiteral("signInWithGitHub"));
    m_signInButton->setAccessibleName(tr("Sign in with GitHub"));
    makeProminent(m_signInButton);
    m_errorLabel = new QLabel(m_idleSection);
    m_errorLabel->setObjectName(QStringLiteral("authenticationError"));
    m_errorLabel->setFont(Fonts::caption(font()));
    m_errorLabel->setWordWrap(true);
    m_errorLabel->setAlignment(Qt::AlignHCenter);
    auto* idleLayout = new QVBoxLayout(m_idleSection);
    idleLayout->setContentsMargins(0, 0, 0, 0);
    idleLayout->addWidget(m_signInButton, 0, Qt::AlignHCenter);
    idleLayout->addWidget(m_errorLabel);

    // Asking GitHub for a code.
    m_requestingSection = new QWidget(this);
    auto* requestingIndicator = new BusyIndicator(16, m_requestingSection);
    auto* requestingLabel
        = secondaryLabel(tr("Requesting authorization code..."), Fonts::caption(font()), m_requestingSection);
    requestingLabel->setObjectName(QStringLiteral("requestingCode"));
    requestingLabel->setWordWrap(false);
    auto* requestingLayout = new QHBoxLayout(m_requestingSection);
    requestingLayout->setContentsMargins(0, 0, 0, 0);
    requestingLayout->addStretch();
    requestingLayout->addWidget(requestingIndicator);
    requestingLayout->addWidget(requestingLabel);
    requestingLayout->addStretch();

    // The flow's latest step, shown until a code is on screen.
    m_debugLabel = new QLabel(this);
    m_debugLabel->setObjectName(QStringLiteral("debugInfo"));
    m_debugLabel->setFont(Fonts::monospaced(Fonts::caption(font())));
    m_debugLabel->setWordWrap(true);
    m_debugLabel->setAlignment(Qt::AlignHCenter);
    m_debugLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    // The user code.
    m_codeSection = new QWidget(this);
    auto* codeTitle = new QLabel(tr("GitHub Device Authorization"), m_codeSection);
    codeTitle->setFont(Fonts::headline(font()));
    auto* codeHint = secondaryLabel(tr("Enter this code at GitHub:"), Fonts::subheadline(font()), m_codeSection);
    m_codeBox = new QFrame(m_codeSection);
    m_codeBox->setObjectName(QStringLiteral("codeBox"));
    m_userCodeLabel = new QLabel(m_codeBox);
    m_userCodeLabel->setObjectName(QStringLiteral("userCode"));
    QFont codeFont = Fonts::monospaced(Fonts::title(font()));
    codeFont.setBold(true);
    m_userCodeLabel->setFont(codeFont);
    m_userCodeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_copyButton = new QToolButton(m_codeBox);
    m_copyButton->setObjectName(QStringLiteral("copyCode"));
    m_copyButton->setAccessibleName(tr("Copy code to clipboard"));
    m_copyButton->setToolTip(tr("Copy code to clipboard"));
    m_copyButton->setAutoRaise(true);
    m_copyButton->setIconSize(QSize(20, 20));
    m_copyButton->setCursor(Qt::PointingHandCursor);
    auto* codeBoxLayout = new QHBoxLayout(m_codeBox);
    codeBoxLayout->setContentsMargins(20, 12, 20, 12);
    codeBoxLayout->addWidget(m_userCodeLabel);
    codeBoxLayout->addWidget(m_copyButton);
    auto* codeCaption = secondaryLabel(
        tr("Copy this code, then click the button below to open GitHub"), Fonts::caption(font()), m_codeSection);
    // "&&": a single ampersand would mark a keyboard mnemonic.
    m_openButton = new QPushButton(tr("Open GitHub && Enter Code"), m_codeSection);
    m_openButton->setObjectName(QStringLiteral("openGitHub"));
    m_openButton->setAccessibleName(tr("Open GitHub & Enter Code"));
    makeProminent(m_openButton);
    auto* waiting = secondaryLabel(tr("Waiting for authorization..."), Fonts::caption(font()), m_codeSection);
    waiting->setObjectName(QStringLiteral("waitingForAuthorization"));
    auto* codeLayout = new QVBoxLayout(m_codeSection);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    codeLayout->setSpacing(12);
    codeLayout->addWidget(codeTitle, 0, Qt::AlignHCenter);
    codeLayout->addWidget(codeHint);
    codeLayout->addWidget(m_codeBox, 0, Qt::AlignHCenter);
    codeLayout->addWidget(codeCaption);
    codeLayout->addWidget(m_openButton, 0, Qt::AlignHCenter);
    codeLayout->addSpacing(-4);
    codeLayout->addWidget(waiting);

    // "or", then the personal access token.
    auto* orRow = new QHBoxLayout;
    auto* orLabel = secondaryLabel(tr("or"), Fonts::caption(font()), this);
    orLabel->setWordWrap(false);
    orRow->addWidget(separatorLine(this), 1);
    orRow->addWidget(orLabel);
    orRow->addWidget(separatorLine(this), 1);
    auto* manualTitle = secondaryLabel(tr("Use Personal Access Token"), Fonts::subheadline(font()), this);
    m_manualButton = new QPushButton(tr("Enter Token Manually"), this);
    m_manualButton->setObjectName(QStringLiteral("enterTokenManually"));
    m_manualButton->setAccessibleName(tr("Enter Token Manually"));
    auto* manual = new QVBoxLayout;
    manual->setSpacing(8);
    manual->addWidget(manualTitle);
    manual->addWidget(m_manualButton, 0, Qt::AlignHCenter);

    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelSignIn"));
    m_cancelButton->setAccessibleName(tr("Cancel"));

    for (QPushButton* button : {m_signInButton, m_openButton, m_manualButton, m_cancelButton})
        button->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(24);
    layout->addLayout(header);
    layout->addWidget(m_idleSection);
    layout->addWidget(m_requestingSection);
    layout->addWidget(m_codeSection);
    layout->addWidget(m_debugLabel);
    layout->addLayout(orRow);
    layout->addLayout(manual);
    layout->addWidget(m_cancelButton, 0, Qt::AlignHCenter);

    connect(m_signInButton, &QPushButton::clicked, m_service, &GitHubOAuthService::startDeviceFlow);
    connect(m_copyButton, &QToolButton::clicked, this, &OAuthAuthenticationView::copyUserCode);
    connect(m_openButton, &QPushButton::clicked, this, &OAuthAuthenticationView::openVerificationPage);
    connect(m_manualButton, &QPushButton::clicked, this, &OAuthAuthenticationView::showManualTokenInput);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    connect(m_service, &GitHubOAuthService::isAuthenticatingChanged, this, &OAuthAuthenticationView::updateState);
    connect(m_service, &GitHubOAuthService::authenticationErrorChanged, this, &OAuthAuthenticationView::updateState);
    connect(m_service, &GitHubOAuthService::debugInfoChanged, this, &OAuthAuthenticationView::updateState);
    connect(m_service, &GitHubOAuthService::stateChanged, this, &OAuthAuthenticationView::updateState);
    // Only a change to signed in closes the sheet: one opened while a token is stored
    // starts signed in and stays until the user closes it.
    connect(m_service, &GitHubOAuthService::isAuthenticatedChanged, this, [this](bool isAuthenticated) {
        if (isAuthenticated)
            m_environment.scheduler->singleShot(kCloseAfterSignIn, this, [this] { accept(); });
    });
    applyColors();
    updateState();
}

OAuthAuthenticationView::~OAuthAuthenticationView() = default;

void OAuthAuthenticationView::updateState()
{
    const bool authenticating = m_service->isAuthenticating();
    const std::optional<QString>& userCode = m_service->userCode();
    const bool showsCode = authenticating && userCode.has_value();
    m_idleSection->setVisible(!authenticating);
    m_requestingSection->setVisible(authenticating && !userCode);
    m_codeSection->setVisible(showsCode);

    const std::optional<AuthenticationError>& error = m_service->authenticationError();
    m_errorLabel->setVisible(!authenticating && error.has_value());
    if (error)
        m_errorLabel->setText(tr("Authentication failed: %1").arg(error->localizedDescription()));

    const QString& debugInfo = m_service->debugInfo();
    m_debugLabel->setVisible(!showsCode && !debugInfo.isEmpty());
    m_debugLabel->setText(tr("Debug: %1").arg(debugInfo));

    if (showsCode)
        m_userCodeLabel->setText(*userCode);
    adjustSize();
}

void OAuthAuthenticationView::applyColors()
{
    const ColorPalette colors(palette());
    QPalette errorPalette = m_errorLabel->palette();
    errorPalette.setColor(QPalette::WindowText, colors.color(ColorPalette::Name::Red));
    m_errorLabel->setPalette(errorPalette);
    QPalette debugPalette = m_debugLabel->palette();
    debugPalette.setColor(QPalette::WindowText, colors.color(ColorPalette::Name::Orange));
    m_debugLabel->setPalette(debugPalette);

    const QColor accent = palette().color(QPalette::Highlight);
    m_copyButton->setIcon(Symbols::tinted(QStringLiteral("doc.on.doc"), accent));
    m_codeBox->setStyleSheet(
        QStringLiteral("QFrame#codeBox { border: 2px solid %1; border-radius: 8px; background-color: %2; }")
            .arg(accent.name(), palette().color(QPalette::Base).name()));
}

void OAuthAuthenticationView::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // The desktop switched between light and dark: the colours above were the old ones.
    if (event->type() == QEvent::PaletteChange)
        applyColors();
}

void OAuthAuthenticationView::copyUserCode()
{
    const std::optional<QString>& userCode = m_service->userCode();
    if (!userCode)
        return;
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(*userCode);
}

void OAuthAuthenticationView::openVerificationPage()
{
    const std::optional<QString>& address = m_service->verificationURI();
    const QUrl url(address.value_or(QString()), QUrl::StrictMode);
    if (address && url.isValid() && !url.isRelative())
        QDesktopServices::openUrl(url);
}

void OAuthAuthenticationView::showManualTokenInput()
{
    if (m_manualTokenInput)
        return;
    auto* sheet = new ManualTokenInputView(m_environment, this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    // Both sheets close once the token is saved; the sign-in sheet a moment after.
    connect(sheet, &ManualTokenInputView::tokenSaved, this,
        [this] { m_environment.scheduler->singleShot(100ms, this, [this] { accept(); }); });
    m_manualTokenInput = sheet;
    sheet->open();
}
