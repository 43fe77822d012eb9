#pragma once

#include <QLabel>

// A feed's one-line status ("Synced 12 notifications at …") on a grey band, hidden while
// there is none.
class StatusLine : public QLabel
{
    Q_OBJECT

public:
    explicit StatusLine(qreal cornerRadius, QWidget* parent = nullptr);

    // A null text hides the line.
    void setMessage(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_cornerRadius;
};
