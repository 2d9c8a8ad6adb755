#pragma once

#include "ui/glide_curve.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>

// The value editor's picture of one notch's glide: distance over time, one curve for the
// value as saved (thin, dashed) and one for the value on the slider, with each glide's length
// and distance written beside them. A glide longer than kGlideCutMs is drawn to a cut.
class GlideChart : public QWidget
{
    Q_OBJECT

public:
    explicit GlideChart(const QColor &colour, QWidget *parent = nullptr);

    void setCurves(const GlideCurve &saved, const GlideCurve &shown);
    const GlideCurve &saved() const { return m_saved; }
    const GlideCurve &shown() const { return m_shown; }

    // "330 ms", "1.5 秒", "7 分 5 秒" ...; "10 行", "-2.5 行"
    static QString lengthText(double ms);
    static QString linesText(double lines);
    // The two lines written beside a curve: its length and its distance, or why it does not glide.
    static QStringList summary(const GlideCurve &curve);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour;
    GlideCurve m_saved;
    GlideCurve m_shown;
};
