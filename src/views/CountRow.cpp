#include "views/CountRow.h"

#include "views/Fonts.h"

#include <QHBoxLayout>
#include <QLabel>

CountRow::CountRow(const QString& countName, QWidget* parent)
    : QWidget(parent)
    , m_count(new QLabel(this))
    , m_filteredBy(new QLabel(this))
{
    m_count->setObjectName(countName);
    m_count->setFont(Fonts::headline(font()));
    m_filteredBy->setObjectName(QStringLiteral("filteredBy"));
    m_filteredBy->setFont(Fonts::subheadline(font()));
    m_filteredBy->setForegroundRole(QPalette::PlaceholderText);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 0, 12, 6);
    layout->addWidget(m_count);
    layout->addWidget(m_filteredBy);
    layout->addStretch();
}

void CountRow::show(const QString& countText, const QString& filter)
{
    m_count->setText(countText);
    m_filteredBy->setVisible(!filter.isEmpty());
    m_filteredBy->setText(tr("(filtered by: \"%1\")").arg(filter));
}
