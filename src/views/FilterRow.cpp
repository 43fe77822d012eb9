#include "views/FilterRow.h"

#include "views/Fonts.h"
#include "views/SavedViewPicker.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

FilterRow::FilterRow(const QString& name, const QString& placeholder, TokenCompleter::Completions completions,
    SavedViews& views, QWidget* parent)
    : QWidget(parent)
    , m_field(new QLineEdit(this))
    , m_clear(new QToolButton(this))
    , m_hint(new QLabel(this))
    , m_completer(new TokenCompleter(m_field, std::move(completions)))
    , m_viewPicker(new SavedViewPicker(views, this))
{
    // Find anywhere in the tab that holds the row puts the cursor in the field.
    if (parent) {
        auto* focus = new QAction(this);
        focus->setShortcut(QKeySequence::Find);
        focus->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(focus, &QAction::triggered, this, &FilterRow::focusField);
        parent->addAction(focus);
    }
    m_field->setObjectName(QStringLiteral("filterField"));
    m_field->setAccessibleName(name);
    m_field->setPlaceholderText(placeholder);
    m_field->setMaximumWidth(400);
    m_clear->setObjectName(QStringLiteral("clearFilter"));
    m_clear->setText(tr("×"));
    m_clear->setAccessibleName(tr("Clear filter"));
    m_clear->setToolTip(tr("Clear filter (Escape)"));
    m_clear->setAutoRaise(true);
    m_clear->setForegroundRole(QPalette::PlaceholderText);
    m_clear->setCursor(Qt::PointingHandCursor);
    m_hint->setObjectName(QStringLiteral("filterHint"));
    m_hint->setFont(Fonts::subheadline(font()));
    m_hint->setForegroundRole(QPalette::PlaceholderText);
    m_hint->hide();

    auto* fieldRow = new QHBoxLayout;
    fieldRow->setSpacing(4);
    fieldRow->addWidget(m_field, 1);
    fieldRow->addWidget(m_clear);
    fieldRow->addSpacing(8);
    fieldRow->addWidget(m_viewPicker);
    fieldRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 0, 12, 8);
    layout->setSpacing(2);
    layout->addLayout(fieldRow);
    layout->addWidget(m_hint);

    connect(m_field, &QLineEdit::textEdited, this, &FilterRow::edited);
    connect(m_completer, &TokenCompleter::completed, this, &FilterRow::edited);
    connect(m_clear, &QToolButton::clicked, this, &FilterRow::clearRequested);
    connect(m_viewPicker, &SavedViewPicker::chosen, this, &FilterRow::edited);
    auto* clearOnEscape = new QAction(m_field);
    clearOnEscape->setShortcut(QKeySequence(Qt::Key_Escape));
    clearOnEscape->setShortcutContext(Qt::WidgetShortcut);
    connect(clearOnEscape, &QAction::triggered, this, &FilterRow::clearRequested);
    m_field->addAction(clearOnEscape);
}

void FilterRow::setFilter(const QString& text, const QStringList& hints)
{
    if (m_field->text() != text)
        m_field->setText(text);
    m_clear->setVisible(!text.isEmpty());
    m_hint->setText(hints.join(QStringLiteral("; ")));
    m_hint->setVisible(!hints.isEmpty());
    m_viewPicker->setQuery(text);
}

void FilterRow::focusField()
{
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}
