#pragma once

#include "ui/glide_curve.h"

#include <QDialog>
#include <QString>

#include <functional>

class CustomImageButton;
class GlideChart;
class QLabel;
class QPaintEvent;
class QSlider;
class QVBoxLayout;

// The value a slider released at `value` settles on: the nearest multiple of `singleStep`
// (halves upwards), kept within minimum..maximum. A single step below 1 leaves it unchanged.
int snapToStepValue(int value, int singleStep, int minimum, int maximum);

// Frameless editor of one integer parameter. The title bar's close button accepts the value
// shown; Escape or a close request from the system rejects it. Run with exec(), then read m_value.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    SettingsDialog(const QString &title, int value, int singleStep, int minimum, int maximum,
                   const QString &unit, QWidget *parent = nullptr);

    // For a value that shapes the glide: a picture of one notch's glide below the slider, with
    // the value passed in and with the value shown, redrawn as it changes. `curveFor` gives
    // the glide of a value; `up` draws it in the up rows' blue, else in the down rows' pink.
    void showGlide(std::function<GlideCurve(int value)> curveFor, bool up);

    // Shows each value as `textOf` words it instead of the number and its unit.
    void showValueAs(std::function<QString(int value)> textOf);

protected:
    void paintEvent(QPaintEvent *event) override;

private slots:
    void onSliderValueChanged(int value);

private:
    void snapToStep();

    QSlider *m_slider = nullptr;
    QLabel *m_valueDisplay = nullptr;

public:
    // Starts as the value passed in and follows the slider; the caller reads it after exec().
    qint32 m_value = 0;

private:
    QString m_unit;
    QWidget *m_titleBar = nullptr;
    QLabel *m_titleLabel = nullptr;
    CustomImageButton *m_closeButton = nullptr;
    QVBoxLayout *m_contentLayout = nullptr;
    std::function<GlideCurve(int)> m_curveFor;
    std::function<QString(int)> m_textOf;
    GlideChart *m_glideChart = nullptr;
};
