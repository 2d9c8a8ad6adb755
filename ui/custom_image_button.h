#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QEvent;
class QMouseEvent;
class QPaintEvent;

// A button drawn entirely from images: a resting, a hover and a pressed image, and for a
// checkable button a checked image and a checked image under the cursor.
class CustomImageButton : public QWidget
{
    Q_OBJECT

public:
    enum ButtonState { Normal = 0, Hovered = 1, Pressed = 2 };

    CustomImageButton(const QString &normalPath, const QString &hoverPath, const QString &pressedPath,
                      bool checkable, const QString &checkedPath, const QString &checkedHoverPath,
                      QWidget *parent = nullptr);

    bool isChecked() const;
    ButtonState state() const { return m_state; }
    // The image paintEvent draws at the moment, or null when there is none.
    const QPixmap *currentPixmap() const { return m_currentPixmap; }

    QSize sizeHint() const override;

public slots:
    void setChecked(bool checked);

signals:
    void clicked();
    void toggled(bool checked);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void refreshPixmap();
    // Loads an image and, beside it, the same image drawn at twice the size ("name@2x.png")
    // where there is one, for screens scaled above 100 %.
    QPixmap loadPixmap(const QString &path);

    QPixmap m_normalPixmap;
    QPixmap m_hoverPixmap;
    QPixmap m_pressedPixmap;
    QPixmap m_checkedPixmap;
    QPixmap m_checkedHoverPixmap;
    const QPixmap *m_currentPixmap = nullptr;
    bool m_checkable = false;
    bool m_checked = false;
    ButtonState m_state = Normal;
    // The double-size images, by the cache key of the image they stand in for (copies of an
    // image share its key).
    QHash<qint64, QPixmap> m_doubledPixmaps;
};
