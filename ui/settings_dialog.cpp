#include "ui/settings_dialog.h"

#include "ui/custom_image_button.h"
#include "ui/glide_chart.h"
#include "ui/panel_widgets.h"
#include "ui/style_sheets.h"
#include "ui/window_painting.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

namespace {

const int kMinimumWidth = 350;
const int kValueDisplayMinimumWidth = 80;

QString valueText(qint32 value, const QString &unit)
{
    return QStringLiteral("%1 %2").arg(value).arg(unit);
}

} // namespace

int snapToStepValue(int value, int singleStep, int minimum, int maximum)
{
    if (singleStep < 1)
        return value;
    // In 64 bits: a multiple near the ends of the int range must not wrap before it is bounded.
    const qint64 steps = static_cast<qint64>(std::floor(static_cast<double>(value) / singleStep + 0.5));
    qint64 target = steps * singleStep;
    target = qMin<qint64>(target, maximum);
    target = qMax<qint64>(target, minimum);
    return static_cast<int>(target);
}

SettingsDialog::SettingsDialog(const QString &title, int value, int singleStep, int minimum, int maximum,
                               const QString &unit, QWidget *parent)
    : QDialog(parent)
    , m_value(value)
    , m_unit(unit)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setObjectName(QStringLiteral("mainWindowInstance"));
    setWindowTitle(title);
    setMinimumWidth(kMinimumWidth);

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setStyleSheet(QString::fromUtf8(kValueSliderStyleSheet));
    // Range before value: a value outside the range is then held at the nearer end.
    m_slider->setRange(minimum, maximum);
    m_slider->setValue(m_value);
    m_slider->setSingleStep(singleStep);
    connect(m_slider, &QSlider::sliderReleased, this, &SettingsDialog::snapToStep);

    m_valueDisplay = new QLabel(valueText(m_value, m_unit), this);
    m_valueDisplay->setStyleSheet(QString::fromUtf8(kValueDisplayStyleSheet));
    m_valueDisplay->setAlignment(Qt::AlignCenter);
    m_valueDisplay->setMinimumWidth(kValueDisplayMinimumWidth);

    // Connected only now, so the initial setValue above leaves m_value as it was passed in,
    // even when the slider had to bring it into the range.
    connect(m_slider, &QSlider::valueChanged, this, &SettingsDialog::onSliderValueChanged);

    m_contentLayout = new QVBoxLayout;
    m_contentLayout->setContentsMargins(20, 6, 20, 20);
    m_contentLayout->addWidget(m_valueDisplay);
    m_contentLayout->addSpacing(8);
    m_contentLayout->addWidget(m_slider);

    m_titleBar = makeTitleBar(this);

    m_titleLabel = new QLabel(title, m_titleBar);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));

    m_closeButton = makeDialogCloseButton(m_titleBar);
    connect(m_closeButton, &CustomImageButton::clicked, this, &QDialog::accept);

    layOutTitleBar(m_titleBar, m_titleLabel, {m_closeButton});

    auto *dialogLayout = new QVBoxLayout(this);
    dialogLayout->setSpacing(0);
    dialogLayout->setContentsMargins(0, 0, 0, 0);
    dialogLayout->addWidget(m_titleBar);
    dialogLayout->addLayout(m_contentLayout);

    setStyleSheet(QString::fromUtf8(kSettingsDialogStyleSheet));
}

void SettingsDialog::showGlide(std::function<GlideCurve(int)> curveFor, bool up)
{
    if (!curveFor)
        return;
    m_curveFor = std::move(curveFor);
    if (!m_glideChart) {
        m_glideChart = new GlideChart(QColor(QLatin1String(up ? kUpColour : kDownColour)), this);
        m_contentLayout->addSpacing(14);
        m_contentLayout->addWidget(m_glideChart);
    }
    const GlideCurve saved = m_curveFor(m_value);
    m_glideChart->setCurves(saved, saved);
}

void SettingsDialog::showValueAs(std::function<QString(int)> textOf)
{
    m_textOf = std::move(textOf);
    m_valueDisplay->setText(m_textOf ? m_textOf(m_value) : valueText(m_value, m_unit));
}

void SettingsDialog::onSliderValueChanged(int value)
{
    m_value = value;
    m_valueDisplay->setText(m_textOf ? m_textOf(m_value) : valueText(m_value, m_unit));
    if (m_glideChart)
        m_glideChart->setCurves(m_glideChart->saved(), m_curveFor(m_value));
}

void SettingsDialog::snapToStep()
{
    const int current = m_slider->value();
    const int target = snapToStepValue(current, m_slider->singleStep(), m_slider->minimum(), m_slider->maximum());
    if (target != current)
        m_slider->setValue(target);
}

void SettingsDialog::paintEvent(QPaintEvent *)
{
    paintRoundedWindow(this, m_titleBar);
}
