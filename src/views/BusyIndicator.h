#pragma once

#include <QTimer>
#include <QWidget>

// A spinning progress indicator for work of unknown length. It animates only while it
// is visible.
class BusyIndicator : public QWidget
{
    Q_OBJECT

public:
    // `diameter` in device-independent pixels.
    explicit BusyIndicator(int diameter, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {m_diameter, m_diameter}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int m_diameter;
    int m_angle = 0;
    QTimer m_frames;
};
