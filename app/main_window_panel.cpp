// The settings panel: the title bar with the autorun switch and the close button, and a
// scrolling column of groups that show and edit the profile on show. Every change is saved
// at once.
#include "app/main_window.h"

#include "app/glide_preview.h"
#include "config/config_document.h"
#include "config/param_reading.h"
#include "config/parameter_keys.h"
#include "config/profile_fields.h"
#include "engine/wheel_lines.h"
#include "ui/clickable_label.h"
#include "ui/custom_image_button.h"
#include "ui/custom_radio_button.h"
#include "ui/panel_widgets.h"
#include "ui/settings_dialog.h"
#include "ui/style_sheets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Row { AccelUp, AccelDown, RapidUp, RapidDown, DurationStart, DurationEnd, DistanceUp, DistanceDown };

} // namespace

void MainWindow::buildSettingsPanel()
{
    auto *mainLayout = new QVBoxLayout(this);
    mainLayout->setSpacing(0);
    mainLayout->setContentsMargins(0, 0, 0, 0);

    m_titleBar = makeTitleBar(this);

    m_titleLabel = new QLabel(QStringLiteral("Sorvella") + QStringLiteral("V1.2"), m_titleBar);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));

    m_autorunButton = new CustomImageButton(QStringLiteral(":/res/autorun_uncheck.png"), QString(), QString(),
                                            true, QStringLiteral(":/res/autorun_check.png"), QString(),
                                            m_titleBar);
    m_autorunButton->setToolTip(QStringLiteral("开机启动"));
    connect(m_autorunButton, &CustomImageButton::toggled, this, &MainWindow::handleAutorunToggled);

    m_closeButton = new CustomImageButton(QStringLiteral(":/res/close_normal.png"),
                                          QStringLiteral(":/res/close_hover.png"),
                                          QStringLiteral(":/res/close_pressed.png"), false, QString(),
                                          QString(), m_titleBar);
    connect(m_closeButton, &CustomImageButton::clicked, this, &MainWindow::handleCloseAction);

    layOutTitleBar(m_titleBar, m_titleLabel, {m_autorunButton, m_closeButton});
    mainLayout->addWidget(m_titleBar);

    auto *scrollArea = new QScrollArea(this);
    scrollArea->setWidgetResizable(true);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setStyleSheet(QString::fromLatin1(kScrollAreaStyleSheet));
    // Vertical scrolling only: the window is never narrower than the content with the
    // vertical bar beside it (contentSize), so a horizontal bar would only hide its bottom.
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea = scrollArea;

    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("settingsWidget"));
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setSpacing(10);
    contentLayout->setContentsMargins(10, 10, 10, 10);

    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const ParameterKey &key = kParameterKeys[i];
        ParamRow &row = m_rows[i];
        row.step = key.step;
        row.unit = QString::fromUtf8(key.unit);
        row.caption = QString::fromUtf8(key.caption);
        row.minimum = key.minimum;
        row.maximum = key.maximum;
    }

    const QString up = QStringLiteral("上滑");
    const QString down = QStringLiteral("下滑");
    contentLayout->addWidget(buildAppGroup());
    contentLayout->addWidget(buildParamGroup(QStringLiteral("鼠标单次滚动触发间隔"), up, m_rows[RapidUp], down,
                                             m_rows[RapidDown]));
    contentLayout->addWidget(buildParamGroup(QStringLiteral("鼠标单次滚动距离占比"), up, m_rows[DistanceUp], down,
                                             m_rows[DistanceDown]));
    contentLayout->addWidget(buildParamGroup(QStringLiteral("鼠标单次滚动总距离"), up, m_rows[AccelUp], down,
                                             m_rows[AccelDown]));
    contentLayout->addWidget(buildDirectionGroup());
    contentLayout->addWidget(buildDisplayPacedGroup());
    contentLayout->addStretch(10);

    scrollArea->setWidget(content);
    mainLayout->addWidget(scrollArea);

    loadConfig();
    populateAppCombo();
    selectProfile(QString::fromLatin1(kDefaultProfileName));

    // Connected only now, so that showing the first profile cannot open an editor or save.
    connect(m_rows[RapidUp].valueLabel, &ClickableLabel::clicked, this, &MainWindow::openDialogForRapidUp);
    connect(m_rows[RapidDown].valueLabel, &ClickableLabel::clicked, this, &MainWindow::openDialogForRapidDown);
    connect(m_rows[DistanceUp].valueLabel, &ClickableLabel::clicked, this, &MainWindow::openDialogForDistanceUp);
    connect(m_rows[DistanceDown].valueLabel, &ClickableLabel::clicked, this,
            &MainWindow::openDialogForDistanceDown);
    connect(m_rows[AccelUp].valueLabel, &ClickableLabel::clicked, this, &MainWindow::openDialogForAccelUp);
    connect(m_rows[AccelDown].valueLabel, &ClickableLabel::clicked, this, &MainWindow::openDialogForAccelDown);

    setMinimumWidth(kWindowMinimumWidth);
    setMaximumWidth(kWindowMaximumWidth);
    setMinimumHeight(kWindowMinimumHeight);
}

namespace {

// Every layout in the window recomputed: before the window is first shown its widgets do not
// tell their layouts when polishing changes their sizes.
void invalidateLayouts(QWidget *window)
{
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        widget->ensurePolished();
        // Also the size its parent's layout keeps of it.
        widget->updateGeometry();
    }
    // Nested layouts too: a layout's own invalidation leaves its inner layouts' sizes.
    for (QLayout *layout : window->findChildren<QLayout *>())
        layout->invalidate();
}

} // namespace

QSize MainWindow::contentSize()
{
    // The sizes follow the fonts and sizes the style sheet gives each widget.
    ensurePolished();
    invalidateLayouts(this);
    QWidget *content = m_scrollArea->widget();
    const int frame = 2 * m_scrollArea->frameWidth();
    const int bar = m_scrollArea->verticalScrollBar()->sizeHint().width();
    // The style sheet makes the application list 6em wide, and the toolkit's em is the font's
    // line height: a stand-in font with tall lines (a maths font, where Windows lacks Microsoft
    // YaHei) makes it wider than the window. It then gives up what the narrowest window lacks.
    const int excess = content->minimumSizeHint().width() + bar + frame - kWindowMinimumWidth;
    if (excess > 0) {
        const int narrowest = m_appComboBox->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 8;
        m_appComboBox->setMinimumWidth(std::max(narrowest, m_appComboBox->minimumWidth() - excess));
        invalidateLayouts(this);
    }
    return {content->minimumSizeHint().width() + bar + frame,
            m_titleBar->height() + content->sizeHint().height() + frame};
}

QWidget *MainWindow::buildParamGroup(const QString &title, const QString &upText, ParamRow &upRow,
                                     const QString &downText, ParamRow &downRow)
{
    QVBoxLayout *column = nullptr;
    QWidget *group = makePanelGroup(title, this, &column);

    upRow.nameLabel = makeSideLabel(upText, group);
    upRow.valueLabel = makeValueLabel(QStringLiteral("valueLabel"), group);
    downRow.nameLabel = makeSideLabel(downText, group);
    downRow.valueLabel = makeValueLabel(QStringLiteral("valueLabel2"), group);

    auto *rowLayout = new QHBoxLayout;
    rowLayout->setSpacing(8);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->addWidget(upRow.nameLabel);
    rowLayout->addWidget(upRow.valueLabel);
    rowLayout->addSpacing(15);
    rowLayout->addWidget(downRow.nameLabel);
    rowLayout->addWidget(downRow.valueLabel);

    auto *wrapper = new QHBoxLayout;
    wrapper->setContentsMargins(0, 0, 0, 0);
    wrapper->addLayout(rowLayout);
    column->addLayout(wrapper);
    return group;
}

QWidget *MainWindow::buildAppGroup()
{
    QVBoxLayout *column = nullptr;
    QWidget *group = makePanelGroup(QStringLiteral("鼠标滚动作用程序配置"), this, &column);

    m_appComboBox = new QComboBox(group);
    m_appComboBox->setObjectName(QStringLiteral("appComboBox"));
    m_appComboBox->setMaximumWidth(100);
    m_smoothCheckBox = new QCheckBox(QStringLiteral("丝滑滚动"), group);
    m_smoothCheckBox->setObjectName(QStringLiteral("smoothCheckBox"));

    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    row->setContentsMargins(15, 0, 15, 0);
    row->addStretch(0);
    row->addWidget(m_appComboBox, 1);
    row->addWidget(m_smoothCheckBox);
    row->addStretch(0);
    column->addLayout(row);

    connect(m_appComboBox, QOverload<int>::of(&QComboBox::activated), this, &MainWindow::onAppSelectionChanged);
    connect(m_smoothCheckBox, &QCheckBox::toggled, this, &MainWindow::onSmoothScrollToggled);
    return group;
}

QWidget *MainWindow::buildDirectionGroup()
{
    QVBoxLayout *column = nullptr;
    QWidget *group = makePanelGroup(QStringLiteral("鼠标滚动方向"), this, &column);

    m_normalRadio = new CustomRadioButton(QStringLiteral("正常"), group);
    m_reverseRadio = new CustomRadioButton(QStringLiteral("反转"), group);
    for (CustomRadioButton *radio : {m_normalRadio, m_reverseRadio}) {
        radio->setObjectName(QStringLiteral("radioButton"));
        radio->setFixedHeight(28);
    }

    m_directionGroup = new QButtonGroup(this);
    m_directionGroup->addButton(m_normalRadio, 0);
    m_directionGroup->addButton(m_reverseRadio, 1);
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    // The same signal as buttonClicked(int), under the name newer toolkits keep.
    connect(m_directionGroup, &QButtonGroup::idClicked, this, &MainWindow::onDirectionChanged);
#else
    connect(m_directionGroup, QOverload<int>::of(&QButtonGroup::buttonClicked), this,
            &MainWindow::onDirectionChanged);
#endif

    auto *inner = new QHBoxLayout;
    inner->setSpacing(25);
    inner->addWidget(m_normalRadio);
    inner->addWidget(m_reverseRadio);
    auto *outer = new QHBoxLayout;
    outer->addStretch(1);
    outer->addLayout(inner);
    outer->addStretch(1);
    column->addLayout(outer);
    return group;
}

QWidget *MainWindow::buildDisplayPacedGroup()
{
    QVBoxLayout *column = nullptr;
    QWidget *group = makePanelGroup(QStringLiteral("滚动节奏"), this, &column);

    m_displayPacedCheckBox = new QCheckBox(QStringLiteral("跟随屏幕刷新"), group);
    m_displayPacedCheckBox->setObjectName(QStringLiteral("displayPacedCheckBox"));
    m_displayPacedCheckBox->setToolTip(
        QStringLiteral("每一帧画面送出均匀的一段滚动，高刷新率屏幕上不再顿挫；对所有程序生效"));

    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_displayPacedCheckBox);
    row->addStretch(1);
    column->addLayout(row);

    connect(m_displayPacedCheckBox, &QCheckBox::toggled, this, &MainWindow::onDisplayPacedToggled);

    // How far a fast spin goes, per application, beside the pacing that applies to all.
    m_fastSpinRow.step = 1;
    m_fastSpinRow.minimum = 1;
    m_fastSpinRow.maximum = kFastSpinLargest;
    m_fastSpinRow.caption = QStringLiteral("快速滚动加速「转得越快走得越远」");
    m_fastSpinRow.nameLabel = makeSideLabel(QStringLiteral("快速滚动"), group);
    // Four characters: as wide as its text, not the two of "上滑".
    m_fastSpinRow.nameLabel->setMinimumWidth(0);
    m_fastSpinRow.nameLabel->setMaximumWidth(QWIDGETSIZE_MAX);
    m_fastSpinRow.valueLabel = makeValueLabel(QStringLiteral("valueLabel"), group);
    auto *spinRow = new QHBoxLayout;
    spinRow->setSpacing(8);
    spinRow->addStretch(1);
    spinRow->addWidget(m_fastSpinRow.nameLabel);
    spinRow->addWidget(m_fastSpinRow.valueLabel);
    spinRow->addStretch(1);
    column->addLayout(spinRow);
    connect(m_fastSpinRow.valueLabel, &ClickableLabel::clicked, this, [this] { editParameter(m_fastSpinRow); });
    return group;
}

void MainWindow::refreshValueLabel(ParamRow &row)
{
    if (!row.valueLabel)
        return;
    row.valueLabel->setText(&row == &m_fastSpinRow ? fastSpinText(row.value)
                                                   : QStringLiteral("%1 %2").arg(row.value).arg(row.unit));
}

// The glide of one notch the way `row` (an index of m_rows) governs, with the set on show
// and the row at `value`; nothing for the two rows that shape no glide.
std::function<GlideCurve(int)> MainWindow::glideOfRow(int row) const
{
    const bool up = row == AccelUp || row == RapidUp || row == DistanceUp;
    if (row == DurationStart || row == DurationEnd)
        return {};
    GlideShape shape;
    shape.up = up;
    shape.multiple = m_rows[up ? AccelUp : AccelDown].value;
    shape.intervalMs = m_rows[up ? RapidUp : RapidDown].value;
    shape.percent = m_rows[up ? DistanceUp : DistanceDown].value;
    shape.smoothing = m_smoothCheckBox->isChecked();
    // Paced at the rate of the display the window is on, as the engine reads it there.
    if (m_displayPacedCheckBox->isChecked() && screen())
        shape.pacedHz = screen()->refreshRate();
    return [shape, row](int value) {
        GlideShape edited = shape;
        if (row == AccelUp || row == AccelDown)
            edited.multiple = value;
        else if (row == RapidUp || row == RapidDown)
            edited.intervalMs = value;
        else
            edited.percent = value;
        return glideCurve(edited);
    };
}

void MainWindow::editParameter(ParamRow &row)
{
    SettingsDialog dialog(row.caption, row.value, row.step, row.minimum, row.maximum, row.unit, this);
    if (&row == &m_fastSpinRow) {
        dialog.showValueAs(&fastSpinText);
    } else {
        const int index = static_cast<int>(&row - m_rows.data());
        dialog.showGlide(glideOfRow(index), index == AccelUp || index == RapidUp || index == DistanceUp);
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    row.value = dialog.m_value;
    refreshValueLabel(row);
    saveConfig();
}

void MainWindow::handleCloseAction()
{
    saveConfig();
    hide();
}

void MainWindow::handleAutorunToggled(bool checked)
{
    m_store.setAutorunEnabled(checked);
    saveConfig();
}

void MainWindow::openDialogForAccelUp() { editParameter(m_rows[AccelUp]); }
void MainWindow::openDialogForAccelDown() { editParameter(m_rows[AccelDown]); }
void MainWindow::openDialogForRapidUp() { editParameter(m_rows[RapidUp]); }
void MainWindow::openDialogForRapidDown() { editParameter(m_rows[RapidDown]); }
void MainWindow::openDialogForDurationStart() { editParameter(m_rows[DurationStart]); }
void MainWindow::openDialogForDurationEnd() { editParameter(m_rows[DurationEnd]); }
void MainWindow::openDialogForDistanceUp() { editParameter(m_rows[DistanceUp]); }
void MainWindow::openDialogForDistanceDown() { editParameter(m_rows[DistanceDown]); }

void MainWindow::onDirectionChanged(int)
{
    // The group's checked button counts, not the signal's argument.
    m_scrollDirectionNormal = m_directionGroup->checkedId() == 0;
    saveConfig();
}

void MainWindow::onDisplayPacedToggled(bool checked)
{
    // Read by the engine at the next notch, like every other setting.
    m_store.setDisplayPaced(checked);
    saveConfig();
}

void MainWindow::onSmoothScrollToggled(bool)
{
    // While paused the settings are the user's own, untouched; resuming reads them again.
    if (!m_paused)
        applyWheelScrollLines();
    saveConfig();
}
