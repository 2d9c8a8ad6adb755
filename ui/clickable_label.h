#pragma once

#include <QLabel>

class QMouseEvent;

// A label that reports a left click; the settings panel shows its values in these.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
