// Renders the value editor and every state of the custom widgets to PNG files for review:
//   ui_renders <output-folder>
// Each widget is drawn on the background it sits on in the program, at its real size and
// enlarged three times; the dialog is drawn over a light desktop so its corners show.
#include "ui/application_chooser.h"
#include "ui/clickable_label.h"
#include "ui/custom_image_button.h"
#include "ui/custom_radio_button.h"
#include "ui/settings_dialog.h"
#include "ui/style_sheets.h"

#include "app/glide_preview.h"
#include "app/main_window.h"
#include "config/config_file.h"
#include "tests/support/offscreen_start.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QHoverEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSlider>
#include <QTest>
#include <QTextStream>
#include <QVBoxLayout>
#include <QVector>

namespace {

const QColor kDesktop(0xe8, 0xea, 0xed);
const QColor kPanel(0x28, 0x2c, 0x34);
const QColor kTitleBar(0x21, 0x25, 0x2b);
const int kZoom = 3;

struct Renderer
{
    QDir folder;
    int failures = 0;
    QVector<QPair<QString, QImage>> saved;

    void save(const QImage &image, const QString &name)
    {
        saved.append({name, image});
        const QString path = folder.filePath(name);
        const bool saved = image.save(path, "PNG");
        QTextStream(stdout) << (saved ? "wrote " : "FAILED ") << path << "\n";
        failures += saved ? 0 : 1;
    }
};

QImage grabOn(QWidget *widget, const QColor &background, int margin)
{
    QImage image(widget->size() + QSize(2 * margin, 2 * margin), QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    widget->render(&painter, QPoint(margin, margin), QRegion(), QWidget::DrawChildren);
    return image;
}

// The real-size picture beside the same picture enlarged without smoothing.
QImage withZoom(const QImage &image, const QColor &background)
{
    QImage sheet(image.width() * (1 + kZoom) + 8, image.height() * kZoom, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(background);
    QPainter painter(&sheet);
    painter.drawImage(0, (sheet.height() - image.height()) / 2, image);
    painter.drawImage(QRect(image.width() + 8, 0, image.width() * kZoom, image.height() * kZoom), image);
    return sheet;
}

void enter(QWidget *widget)
{
    widget->setAttribute(Qt::WA_UnderMouse);
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(widget->mapToGlobal(QPoint(2, 2))));
    QApplication::sendEvent(widget, &event);
}

void hoverRadio(QWidget *radio)
{
    radio->setAttribute(Qt::WA_Hover);
    radio->setAttribute(Qt::WA_UnderMouse);
    QHoverEvent event(QEvent::HoverEnter, QPoint(10, radio->height() / 2), QPoint(-1, -1));
    QApplication::sendEvent(radio, &event);
}

CustomImageButton *closeButton(QWidget *parent)
{
    return new CustomImageButton(QStringLiteral(":/res/close_normal.png"), QStringLiteral(":/res/close_hover.png"),
                                 QStringLiteral(":/res/close_pressed.png"), false, QString(), QString(), parent);
}

CustomImageButton *autorunButton(QWidget *parent)
{
    return new CustomImageButton(QStringLiteral(":/res/autorun_uncheck.png"), QString(), QString(), true,
                                 QStringLiteral(":/res/autorun_check.png"), QString(), parent);
}

void renderDialogs(Renderer &out)
{
    struct Case
    {
        const char *file;
        QString caption;
        int value, step, minimum, maximum;
        QString unit;
    };
    const Case cases[] = {
        {"dialog_interval.png", QStringLiteral("单次滚动刷新「越小越好」"), 5, 1, 1, 500, QStringLiteral("ms")},
        {"dialog_out_of_range.png", QStringLiteral("单次滚动刷新「越小越好」"), 600, 1, 1, 500, QStringLiteral("ms")},
        {"dialog_distance.png", QStringLiteral("总距离「越大滚动越远」"), 10, 1, 1, 20, QStringLiteral("倍")},
        {"dialog_ratio.png", QStringLiteral("单次滚动距离「越小越丝滑」"), 4, 1, 1, 100, QStringLiteral("%")},
    };
    for (const Case &c : cases) {
        SettingsDialog dialog(c.caption, c.value, c.step, c.minimum, c.maximum, c.unit);
        dialog.show();
        dialog.resize(dialog.sizeHint().expandedTo(dialog.minimumSize()));
        QApplication::processEvents();
        out.save(grabOn(&dialog, kDesktop, 16), QString::fromLatin1(c.file));
        dialog.hide();
    }

    // The share per step with its glide: saved at 4 %, the slider moved to 8 % (the README's
    // picture), and a total distance whose glide passes through.
    for (const bool up : {true, false}) {
        SettingsDialog dialog(QStringLiteral("单次滚动距离「越小越丝滑」"), 4, 1, 1, 100, QStringLiteral("%"));
        dialog.showGlide(
            [up](int value) {
                GlideShape shape;
                shape.percent = value;
                shape.up = up;
                return glideCurve(shape);
            },
            up);
        dialog.findChild<QSlider *>()->setValue(8);
        dialog.show();
        dialog.resize(dialog.sizeHint().expandedTo(dialog.minimumSize()));
        QApplication::processEvents();
        out.save(grabOn(&dialog, kDesktop, 16), up ? QStringLiteral("dialog_glide.png") : QStringLiteral("dialog_glide_down.png"));
    }

    // Values from a hand-edited file: no distance, a reversed one, and a glide of minutes.
    struct Odd
    {
        const char *file;
        int multiple, interval;
    };
    const Odd odd[] = {{"dialog_glide_no_distance.png", 0, 5},
                       {"dialog_glide_reversed.png", -10, 5},
                       {"dialog_glide_minutes.png", 100000, 500}};
    for (const Odd &o : odd) {
        SettingsDialog dialog(QStringLiteral("总距离「越大滚动越远」"), o.multiple, 1, 1, 20, QStringLiteral("倍"));
        dialog.showGlide(
            [o](int value) {
                GlideShape shape;
                shape.multiple = value;
                shape.intervalMs = o.interval;
                return glideCurve(shape);
            },
            true);
        dialog.show();
        dialog.resize(dialog.sizeHint().expandedTo(dialog.minimumSize()));
        QApplication::processEvents();
        out.save(grabOn(&dialog, kDesktop, 16), QString::fromLatin1(o.file));
    }
}

void renderImageButtons(Renderer &out)
{
    QWidget bar;
    bar.setStyleSheet(QString::fromUtf8(kMainWindowStyleSheet));
    struct Case
    {
        const char *file;
        CustomImageButton *button;
        void (*prepare)(CustomImageButton *);
    };
    const Case cases[] = {
        {"close_normal.png", closeButton(&bar), [](CustomImageButton *) {}},
        {"close_hover.png", closeButton(&bar), [](CustomImageButton *b) { enter(b); }},
        {"close_pressed.png", closeButton(&bar),
         [](CustomImageButton *b) { enter(b); QTest::mousePress(b, Qt::LeftButton); }},
        {"autorun_unchecked.png", autorunButton(&bar), [](CustomImageButton *) {}},
        {"autorun_unchecked_hover.png", autorunButton(&bar), [](CustomImageButton *b) { enter(b); }},
        {"autorun_checked.png", autorunButton(&bar), [](CustomImageButton *b) { b->setChecked(true); }},
        {"autorun_checked_hover.png", autorunButton(&bar),
         [](CustomImageButton *b) { b->setChecked(true); enter(b); }},
        {"missing_image.png",
         new CustomImageButton(QStringLiteral(":/res/no_such_image.png"), QString(), QString(), false, QString(),
                               QString(), &bar),
         [](CustomImageButton *) {}},
    };
    for (const Case &c : cases) {
        c.prepare(c.button);
        out.save(withZoom(grabOn(c.button, kTitleBar, 6), kTitleBar),
                 QStringLiteral("button_") + QString::fromLatin1(c.file));
    }
}

void renderRadioButtons(Renderer &out)
{
    QWidget panel;
    panel.setStyleSheet(QString::fromUtf8(kMainWindowStyleSheet));
    struct Case
    {
        const char *file;
        bool checked, hovered, enabled, focused;
        Qt::LayoutDirection direction;
    };
    const Case cases[] = {
        {"unchecked.png", false, false, true, false, Qt::LeftToRight},
        {"checked.png", true, false, true, false, Qt::LeftToRight},
        {"unchecked_hover.png", false, true, true, false, Qt::LeftToRight},
        {"checked_hover.png", true, true, true, false, Qt::LeftToRight},
        {"unchecked_disabled.png", false, false, false, false, Qt::LeftToRight},
        {"checked_disabled.png", true, false, false, false, Qt::LeftToRight},
        {"checked_focus.png", true, false, true, true, Qt::LeftToRight},
        {"checked_right_to_left.png", true, false, true, false, Qt::RightToLeft},
    };
    for (const Case &c : cases) {
        auto *radio = new CustomRadioButton(c.checked ? QStringLiteral("正常") : QStringLiteral("反转"), &panel);
        radio->setObjectName(QStringLiteral("radioButton"));
        radio->setAutoExclusive(false);
        radio->ensurePolished();
        radio->setFixedHeight(28);
        radio->resize(radio->sizeHint().width(), 28);
        radio->setChecked(c.checked);
        radio->setEnabled(c.enabled);
        radio->setLayoutDirection(c.direction);
        if (c.direction == Qt::RightToLeft)
            radio->resize(radio->width() + 40, 28);
        if (c.hovered)
            hoverRadio(radio);
        if (c.focused) {
            panel.show();
            radio->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
        }
        out.save(withZoom(grabOn(radio, kPanel, 6), kPanel), QStringLiteral("radio_") + QString::fromLatin1(c.file));
    }
}

void renderValueLabels(Renderer &out)
{
    QWidget panel;
    panel.setStyleSheet(QString::fromUtf8(kMainWindowStyleSheet));
    const char *names[] = {"valueLabel", "valueLabel2"};
    for (const char *name : names) {
        for (bool hovered : {false, true}) {
            auto *label = new ClickableLabel(&panel);
            label->setObjectName(QString::fromLatin1(name));
            label->setText(QStringLiteral("5 ms"));
            label->setAlignment(Qt::AlignCenter);
            label->setFixedSize(62, 26);
            if (hovered) {
                label->setAttribute(Qt::WA_Hover);
                enter(label);
                label->style()->unpolish(label);
                label->style()->polish(label);
            }
            out.save(withZoom(grabOn(label, kPanel, 6), kPanel),
                     QStringLiteral("label_%1%2.png").arg(QString::fromLatin1(name), hovered ? "_hover" : ""));
        }
    }
}

// The real main window with its built panel, at its narrowest and widest, over a scratch
// config.json holding one application profile beside the default.
void renderMainWindow(Renderer &out)
{
    QTemporaryDir scratch;
    setConfigDirectory(scratch.path());
    QFile file(configFilePath());
    file.open(QIODevice::WriteOnly);
    file.write(R"({"parameters": {"Code.exe": {"accelUp": 12}}})");
    file.close();
    MainWindow window;
    // As it opens on a 1280 x 800 screen with a taskbar: as tall as its content (the README's
    // picture), then at its widest.
    const QVector<QRect> screen{QRect(0, 0, 1280, 752)};
    window.placeWithin(screen, screen.first().center());
    window.show();
    QApplication::processEvents();
    out.save(grabOn(&window, kDesktop, 16), QStringLiteral("main_window_%1.png").arg(window.width()));
    window.resize(480, window.height());
    QApplication::processEvents();
    out.save(grabOn(&window, kDesktop, 16), QStringLiteral("main_window_480.png"));
    window.hide();
    setConfigDirectory(QString());
}

QImage renderedChooser(bool onDesktop);

// With QT_SCALE_FACTOR set: the window, the value editor and the tray menu as a screen at that
// scale shows them, one image pixel per device pixel.
void renderAtScale(Renderer &out, const QString &scale)
{
    QTemporaryDir scratch;
    setConfigDirectory(scratch.path());
    MainWindow window;
    window.resize(340, 520);
    window.show();
    QApplication::processEvents();
    out.save(window.grab().toImage(), QStringLiteral("main_window_at_%1.png").arg(scale));
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *menu = qobject_cast<QMenu *>(widget)) {
            menu->popup(QPoint(20, 20));
            QApplication::processEvents();
            out.save(menu->grab().toImage(), QStringLiteral("tray_menu_at_%1.png").arg(scale));
            menu->hide();
        }
    }
    SettingsDialog dialog(QStringLiteral("单次滚动刷新「越小越好」"), 5, 1, 1, 500, QStringLiteral("ms"));
    dialog.show();
    dialog.resize(dialog.sizeHint().expandedTo(dialog.minimumSize()));
    QApplication::processEvents();
    out.save(dialog.grab().toImage(), QStringLiteral("dialog_at_%1.png").arg(scale));
    out.save(renderedChooser(false), QStringLiteral("application_chooser_at_%1.png").arg(scale));
    window.hide();
    setConfigDirectory(QString());
}

// A stand-in for a program's icon: a rounded square of its colour with its initial.
QIcon letterIcon(const QString &name, const QColor &colour)
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(34);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, name.left(1).toUpper());
    return QIcon(pixmap);
}

// The chooser of "+" with a few running applications, once their icons are in.
QImage renderedChooser(bool onDesktop)
{
    const std::vector<RunningApplication> applications = {
        {QStringLiteral("CalculatorApp.exe"), QStringLiteral("计算器"), QStringLiteral("calc"), false, false},
        {QStringLiteral("chrome.exe"), QStringLiteral("新标签页 - Google Chrome"), QStringLiteral("chrome"), false, false},
        {QStringLiteral("Code.exe"), QStringLiteral("main_window.cpp - sorvella - Visual Studio Code"),
         QStringLiteral("code"), false, true},
        {QStringLiteral("notepad.exe"), QStringLiteral("无标题 - 记事本"), QStringLiteral("notepad"), false, false},
        {QStringLiteral("regedit.exe"), QStringLiteral("注册表编辑器"), QStringLiteral("regedit"), true, false},
    };
    const QColor colours[] = {QColor(0x1f, 0x6f, 0xd0), QColor(0xd9, 0x48, 0x3b), QColor(0x23, 0x7a, 0xc8),
                              QColor(0x4a, 0x9a, 0x5c), QColor(0x8e, 0x5b, 0xc4)};
    ApplicationChooser chooser(applications, [&](const QString &path) {
        for (std::size_t i = 0; i < applications.size(); ++i) {
            if (applications[i].imagePath == path)
                return letterIcon(applications[i].name, colours[i]);
        }
        return QIcon();
    });
    chooser.show();
    chooser.resize(chooser.sizeHint());
    while (chooser.pendingIcons() > 0)
        QApplication::processEvents();
    QApplication::processEvents();
    return onDesktop ? grabOn(&chooser, kDesktop, 16) : chooser.grab().toImage();
}

// Every render in one picture, each under its file name.
QImage overview(const QVector<QPair<QString, QImage>> &renders)
{
    const int nameWidth = 260;
    int width = 0;
    int height = 8;
    for (const auto &render : renders) {
        width = qMax(width, nameWidth + render.second.width() + 16);
        height += render.second.height() + 8;
    }
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0x44, 0x44, 0x44));
    QPainter painter(&sheet);
    painter.setPen(Qt::white);
    int y = 8;
    for (const auto &render : renders) {
        painter.drawText(QRect(8, y, nameWidth - 16, render.second.height()), Qt::AlignVCenter, render.first);
        painter.drawImage(nameWidth, y, render.second);
        y += render.second.height() + 8;
    }
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    startOffscreenLikeTheProgram();
    QApplication app(argc, argv);
    Renderer out;
    out.folder = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("renders"));
    out.folder.mkpath(QStringLiteral("."));

    renderDialogs(out);
    renderImageButtons(out);
    renderRadioButtons(out);
    renderValueLabels(out);
    renderMainWindow(out);
    out.save(renderedChooser(true), QStringLiteral("application_chooser.png"));
    if (!qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR"))
        renderAtScale(out, qEnvironmentVariable("QT_SCALE_FACTOR"));
    const QVector<QPair<QString, QImage>> renders = out.saved;
    out.save(overview(renders), QStringLiteral("overview.png"));
    return out.failures == 0 ? 0 : 1;
}
