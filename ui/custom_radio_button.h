#pragma once

#include <QRadioButton>

class QPaintEvent;

// A radio button that paints its own round indicator in the program's colours: a 20-pixel
// ring with a 12-pixel dot when checked, the text beside it.
class CustomRadioButton : public QRadioButton
{
    Q_OBJECT

public:
    explicit CustomRadioButton(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
