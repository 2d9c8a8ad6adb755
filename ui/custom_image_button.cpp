#include "ui/custom_image_button.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QSize kPlaceholderSize(32, 32);

// "dir/name.png" -> "dir/name@2x.png", the toolkit's name for an image drawn at twice the size.
QString doubledPath(const QString &path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return dot <= path.lastIndexOf(QLatin1Char('/')) ? QString() : path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

} // namespace

CustomImageButton::CustomImageButton(const QString &normalPath, const QString &hoverPath,
                                     const QString &pressedPath, bool checkable,
                                     const QString &checkedPath, const QString &checkedHoverPath,
                                     QWidget *parent)
    : QWidget(parent)
    , m_checkable(checkable)
{
    // Only an empty path falls back to another image; a path that does not load stays null,
    // and refreshPixmap then shows the next image that exists.
    m_normalPixmap = loadPixmap(normalPath);
    m_hoverPixmap = hoverPath.isEmpty() ? m_normalPixmap : loadPixmap(hoverPath);
    m_pressedPixmap = pressedPath.isEmpty() ? m_hoverPixmap : loadPixmap(pressedPath);
    if (m_checkable) {
        m_checkedPixmap = loadPixmap(checkedPath.isEmpty() ? normalPath : checkedPath);
        m_checkedHoverPixmap = checkedHoverPath.isEmpty() ? m_checkedPixmap : loadPixmap(checkedHoverPath);
    }

    if (m_normalPixmap.isNull()) {
        setFixedSize(kPlaceholderSize);
        m_currentPixmap = nullptr;
    } else {
        setFixedSize(m_normalPixmap.size());
        m_currentPixmap = &m_normalPixmap;
    }
    setAttribute(Qt::WA_MouseTracking);
}

// An empty path yields a null pixmap without asking the file system.
QPixmap CustomImageButton::loadPixmap(const QString &path)
{
    if (path.isEmpty())
        return QPixmap();
    const QPixmap pixmap(path);
    const QString doubled = doubledPath(path);
    if (!pixmap.isNull() && !doubled.isEmpty()) {
        const QPixmap large(doubled);
        if (!large.isNull())
            m_doubledPixmaps.insert(pixmap.cacheKey(), large);
    }
    return pixmap;
}

bool CustomImageButton::isChecked() const
{
    return m_checkable && m_checked;
}

void CustomImageButton::setChecked(bool checked)
{
    if (!m_checkable || checked == m_checked)
        return;
    m_checked = checked;
    refreshPixmap();
    emit toggled(checked);
    update();
}

QSize CustomImageButton::sizeHint() const
{
    if (m_currentPixmap && !m_currentPixmap->isNull())
        return m_currentPixmap->size();
    return QWidget::sizeHint();
}

void CustomImageButton::refreshPixmap()
{
    if (m_checkable && m_checked) {
        m_currentPixmap = (m_state == Hovered && !m_checkedHoverPixmap.isNull()) ? &m_checkedHoverPixmap
                                                                                 : &m_checkedPixmap;
        return;
    }
    if (m_state == Pressed && !m_pressedPixmap.isNull())
        m_currentPixmap = &m_pressedPixmap;
    else if (m_state == Hovered && !m_hoverPixmap.isNull())
        m_currentPixmap = &m_hoverPixmap;
    else
        m_currentPixmap = &m_normalPixmap;
}

void CustomImageButton::enterEvent(QEvent *)
{
    if (m_state != Pressed)
        m_state = Hovered;
    refreshPixmap();
    update();
}

void CustomImageButton::leaveEvent(QEvent *)
{
    // Leaving cancels a press too: the release that follows is not a click.
    m_state = Normal;
    refreshPixmap();
    update();
}

void CustomImageButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_state = Pressed;
    refreshPixmap();
    update();
    event->accept();
}

void CustomImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const ButtonState previous = m_state;
    m_state = rect().contains(event->pos()) ? Hovered : Normal;
    refreshPixmap();
    update();
    event->accept();
    if (previous == Pressed && m_state == Hovered) {
        if (m_checkable)
            setChecked(!m_checked);
        // Last, since a receiver may close or hide the window this button sits on.
        emit clicked();
    }
}

void CustomImageButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_currentPixmap && !m_currentPixmap->isNull()) {
        // Scaled up, the image drawn for 100 % blurs: a scaled screen gets the double-size
        // image, scaled down to the pixels the button covers there.
        const auto doubled = m_doubledPixmaps.constFind(m_currentPixmap->cacheKey());
        const bool scaled = painter.device()->devicePixelRatioF() > 1.0 && doubled != m_doubledPixmaps.constEnd();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), scaled ? *doubled : *m_currentPixmap);
        return;
    }
    painter.fillRect(rect(), Qt::darkGray);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Img?"));
}
