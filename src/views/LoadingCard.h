#pragma once

#include <QFrame>

class QLabel;

// "Syncing…": a card with a spinning indicator and a line of text, laid over the middle
// of another widget (a feed table) while a sync runs. It follows that widget's size.
class LoadingCard : public QFrame
{
    Q_OBJECT

public:
    struct Style
    {
        // The indicator's diameter in device-independent pixels.
        int indicatorSize = 24;
        bool shadow = false;
    };

    LoadingCard(const QString& text, QWidget* over, const Style& style);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void place();
};
