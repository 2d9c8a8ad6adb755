#include "ui/glide_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

const int kTextColumn = 92;
const int kGap = 10;
const QColor kAxisColour(0x5c, 0x63, 0x70);
const QColor kTextColour(0xab, 0xb2, 0xbf);
const QColor kNoteColour(0x7f, 0x88, 0x96);

QString number(double value)
{
    const double rounded = std::round(value * 10.0) / 10.0;
    return QString::number(rounded, 'f', rounded == std::floor(rounded) ? 0 : 1);
}

// The extent a curve takes in the plot: to its end, or to the cut.
double drawnLength(const GlideCurve &c)
{
    if (c.kind != GlideCurve::Kind::Glides)
        return 0.0;
    return c.cut ? kGlideCutMs : std::min(c.lengthMs, kGlideCutMs);
}

// The curve from the notch (0, 0) through its steps, then level to the right edge; a segment
// past the cut ends at the cut.
QPainterPath curvePath(const GlideCurve &c, double xMax, const std::function<QPointF(double, double)> &at)
{
    QPainterPath path(at(0.0, 0.0));
    QPointF last(0.0, 0.0);
    for (const QPointF &p : c.points) {
        if (p.x() > xMax) {
            const double share = (xMax - last.x()) / (p.x() - last.x());
            path.lineTo(at(xMax, last.y() + (p.y() - last.y()) * share));
            return path;
        }
        path.lineTo(at(p.x(), last.y()));
        path.lineTo(at(p.x(), p.y()));
        last = p;
    }
    path.lineTo(at(xMax, last.y()));
    return path;
}

} // namespace

GlideChart::GlideChart(const QColor &colour, QWidget *parent)
    : QWidget(parent)
    , m_colour(colour)
{
    setObjectName(QStringLiteral("glideChart"));
}

void GlideChart::setCurves(const GlideCurve &saved, const GlideCurve &shown)
{
    m_saved = saved;
    m_shown = shown;
    update();
}

QString GlideChart::lengthText(double ms)
{
    if (!std::isfinite(ms) || ms < 0.0)
        ms = 0.0;
    if (ms < 10000.0)
        return QStringLiteral("%1 ms").arg(std::llround(ms));
    const double seconds = ms / 1000.0;
    if (seconds < 60.0)
        return QStringLiteral("%1 秒").arg(number(seconds));
    const long long whole = std::llround(seconds);
    if (whole < 3600)
        return QStringLiteral("%1 分 %2 秒").arg(whole / 60).arg(whole % 60);
    if (whole < 86400)
        return QStringLiteral("%1 小时 %2 分").arg(whole / 3600).arg(whole % 3600 / 60);
    return QStringLiteral("%1 天").arg(whole / 86400);
}

QString GlideChart::linesText(double lines)
{
    return QStringLiteral("%1 行").arg(number(lines));
}

QStringList GlideChart::summary(const GlideCurve &curve)
{
    switch (curve.kind) {
    case GlideCurve::Kind::NoDistance:
        return {QStringLiteral("原样通过"), QStringLiteral("总距离为 0")};
    case GlideCurve::Kind::SmoothingOff:
        return {QStringLiteral("原样通过"), QStringLiteral("丝滑滚动已关")};
    case GlideCurve::Kind::Glides:
        break;
    }
    QString lines = linesText(curve.lines);
    if (curve.lines < 0.0)
        lines += QStringLiteral(" 反向");
    return {lengthText(curve.lengthMs), lines};
}

QSize GlideChart::sizeHint() const
{
    return {310, 150};
}

QSize GlideChart::minimumSizeHint() const
{
    return {240, 130};
}

void GlideChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont small = font();
    small.setPixelSize(12);
    painter.setFont(small);
    const QFontMetrics metrics(small);

    const QRectF plot(QPointF(1.5, metrics.height() + 2.5),
                      QPointF(width() - kTextColumn - kGap - 0.5, height() - metrics.height() - 4.5));
    const GlideCurve *curves[] = {&m_saved, &m_shown};

    double xMax = 0.0;
    double yMin = 0.0;
    double yMax = 0.0;
    for (const GlideCurve *c : curves) {
        xMax = std::max(xMax, drawnLength(*c));
        for (const QPointF &p : c->points) {
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
    }
    const bool cut = m_saved.cut || m_shown.cut;
    // A little room after the end, and the cut at the very edge.
    xMax = cut ? kGlideCutMs : std::max(xMax * 1.08, 10.0);
    if (yMax - yMin < 1e-9)
        yMax = yMin + 1.0;
    const auto at = [&](double ms, double lines) {
        return QPointF(plot.left() + plot.width() * ms / xMax,
                       plot.bottom() - plot.height() * (lines - yMin) / (yMax - yMin));
    };

    // Axes: time along the line of no distance, distance up the left edge.
    painter.setPen(QPen(kAxisColour, 1.0));
    painter.drawLine(at(0.0, 0.0), at(xMax, 0.0));
    painter.drawLine(QPointF(plot.left(), plot.top()), QPointF(plot.left(), plot.bottom()));
    const bool glides = m_saved.kind == GlideCurve::Kind::Glides || m_shown.kind == GlideCurve::Kind::Glides;
    if (glides) {
        painter.setPen(kTextColour);
        const QString range = yMax > 0.0 ? linesText(yMax) : QStringLiteral("0 至 ") + linesText(yMin);
        painter.drawText(QRectF(plot.left() + 4, 0, plot.width(), metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         range);
        const QRectF below(plot.left(), plot.bottom() + 3, plot.width(), metrics.height());
        painter.drawText(below, Qt::AlignRight | Qt::AlignVCenter,
                         (cut ? QStringLiteral("只画到 ") : QString()) + lengthText(xMax));
        painter.drawText(below, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("0"));
    }

    painter.save();
    painter.setClipRect(plot.adjusted(-2, -2, 2, 2));
    QColor faint = m_colour;
    faint.setAlpha(130);
    QPen savedPen(faint, 1.5, Qt::DashLine);
    QPen shownPen(m_colour, 2.0);
    for (const GlideCurve *c : curves) {
        if (c->kind != GlideCurve::Kind::Glides)
            continue;
        painter.setPen(c == &m_shown ? shownPen : savedPen);
        painter.drawPath(curvePath(*c, xMax, at));
    }
    painter.restore();
    if (cut) {
        // The cut: a broken edge where the drawing stops.
        painter.setPen(QPen(kNoteColour, 1.0, Qt::DotLine));
        painter.drawLine(at(kGlideCutMs, yMin), at(kGlideCutMs, yMax));
    }
    if (m_shown.kind != GlideCurve::Kind::Glides) {
        painter.setPen(kNoteColour);
        painter.drawText(plot, Qt::AlignCenter | Qt::TextWordWrap,
                         m_shown.kind == GlideCurve::Kind::NoDistance ? QStringLiteral("总距离为 0：\n这一格原样通过")
                                                                      : QStringLiteral("丝滑滚动已关：\n这一格原样通过"));
    }

    // Beside the plot: the slider's glide, then the saved one.
    QRectF text(width() - kTextColumn, plot.top(), kTextColumn, metrics.height());
    const struct {
        QString heading;
        const GlideCurve &curve;
        QColor colour;
    } blocks[] = {{QStringLiteral("滑块"), m_shown, m_colour}, {QStringLiteral("已保存"), m_saved, faint}};
    for (const auto &block : blocks) {
        painter.setPen(block.colour);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, block.heading);
        text.translate(0, metrics.height());
        painter.setPen(kTextColour);
        for (const QString &line : summary(block.curve)) {
            painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, line);
            text.translate(0, metrics.height());
        }
        text.translate(0, metrics.height() / 2);
    }
}
