#include "views/ManualTokenInputView.h"

#include "core/Scheduler.h"
#include "storage/SecureStorage.h"
#include "views/ColorPalette.h"
#include "views/Fonts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

using namespace std::chrono_literals;

namespace {

// GitHub's prefix of fine-grained personal access tokens; classic ones start "ghp_".
bool isFineGrainedToken(const QString& token)
{
    return token.trimmed().startsWith(QLatin1String("github_pat_"));
}

} // namespace

ManualTokenInputView::ManualTokenInputView(const Environment& environment, QWidget* parent)
    : QDialog(parent)
    , m_environment(environment)
    , m_tokenField(new QLineEdit(this))
    , m_fineGrainedWarning(new QLabel(tr("Fine-grained tokens cannot read notifications; use a classic token with "
                                         "the notifications and repo scopes"),
          this))
    , m_whitespaceWarning(new QLabel(tr("The token has spaces or line breaks at its ends"), this))
    , m_cancelButton(new QPushButton(tr("Cancel"), this))
    , m_saveButton(new QPushButton(tr("Save Token"), this))
{
    setObjectName(QStringLiteral("manualTokenSheet"));
    setWindowTitle(tr("Personal Access Token"));
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(440);

    auto* title = new QLabel(tr("Enter GitHub Personal Access Token"), this);
    title->setFont(Fonts::headline(font()));
    auto* explanation = new QLabel(tr("If OAuth isn't working, you can manually enter a GitHub Personal "
                                      "Access Token with 'notifications', 'repo', and 'read:user' scopes."),
        this);
    explanation->setFont(Fonts::caption(font()));
    explanation->setForegroundRole(QPalette::PlaceholderText);
    explanation->setWordWrap(true);

    m_tokenField->setObjectName(QStringLiteral("tokenField"));
    m_tokenField->setAccessibleName(tr("GitHub Token"));
    m_tokenField->setPlaceholderText(tr("GitHub Token"));
    m_tokenField->setEchoMode(QLineEdit::Password);
    m_tokenField->setClearButtonEnabled(false);

    m_fineGrainedWarning->setObjectName(QStringLiteral("fineGrainedTokenWarning"));
    m_fineGrainedWarning->setAccessibleName(m_fineGrainedWarning->text());
    m_fineGrainedWarning->setFont(Fonts::caption(font()));
    m_fineGrainedWarning->setWordWrap(true);
    m_whitespaceWarning->setObjectName(QStringLiteral("tokenWhitespaceWarning"));
    m_whitespaceWarning->setFont(Fonts::caption(font()));
    applyColors();
    // The sheet keeps the warning's room, so it neither jumps nor squeezes its texts
    // when a pasted token brings the warning up.
    QSizePolicy warningPolicy = m_whitespaceWarning->sizePolicy();
    warningPolicy.setRetainSizeWhenHidden(true);
    m_whitespaceWarning->setSizePolicy(warningPolicy);

    m_cancelButton->setObjectName(QStringLiteral("cancelToken"));
    m_cancelButton->setAccessibleName(tr("Cancel"));
    m_saveButton->setObjectName(QStringLiteral("saveToken"));
    // Return in the field must not press a button.
    for (QPushButton* button : {m_cancelButton, m_saveButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_saveButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(explanation);
    layout->addWidget(m_tokenField);
    layout->addWidget(m_fineGrainedWarning);
    layout->addWidget(m_whitespaceWarning);
    layout->addLayout(buttons);

    connect(m_tokenField, &QLineEdit::textChanged, this, &ManualTokenInputView::updateControls);
    connect(m_cancelButton, &QPushButton::clicked, this, &ManualTokenInputView::reject);
    connect(m_saveButton, &QPushButton::clicked, this, &ManualTokenInputView::save);
    updateControls();
}

void ManualTokenInputView::updateControls()
{
    const QString& token = m_tokenField->text();
    m_saveButton->setText(m_isSaving ? tr("Saving...") : tr("Save Token"));
    m_saveButton->setAccessibleName(m_saveButton->text());
    m_saveButton->setEnabled(!token.isEmpty() && !m_isSaving);
    m_cancelButton->setEnabled(!m_isSaving);
    m_whitespaceWarning->setVisible(token != token.trimmed());
    m_fineGrainedWarning->setVisible(isFineGrainedToken(token));
}

void ManualTokenInputView::save()
{
    if (m_isSaving || m_tokenField->text().isEmpty())
        return;
    m_isSaving = true;
    updateControls();
    auto storage = std::make_shared<SecureStorage>(m_environment);
    // What the field holds when the token is stored is what counts, typed late or not.
    m_environment.scheduler->singleShot(100ms, this, [this, storage] {
        storage->saveToken(m_tokenField->text());
        m_environment.scheduler->singleShot(200ms, this, [this] {
            m_isSaving = false;
            updateControls();
            done(QDialog::Accepted);
            Q_EMIT tokenSaved();
        });
    });
}

void ManualTokenInputView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ManualTokenInputView::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyColors();
}

void ManualTokenInputView::applyColors()
{
    for (QLabel* warning : {m_fineGrainedWarning, m_whitespaceWarning}) {
        QPalette warningPalette = warning->palette();
        warningPalette.setColor(QPalette::WindowText, ColorPalette(palette()).color(ColorPalette::Name::Orange));
        warning->setPalette(warningPalette);
    }
}

void ManualTokenInputView::reject()
{
    if (!m_isSaving)
        QDialog::reject();
}
