#include "ui/application_chooser.h"

#include "ui/custom_image_button.h"
#include "ui/panel_widgets.h"
#include "ui/style_sheets.h"
#include "ui/window_painting.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

const char kElevatedApplicationNote[] = "以管理员身份运行，设置暂不生效";
const char kBrowseEntryText[] = "浏览…";
const char kHasProfileMark[] = "已有设置";

namespace {

const int kWidth = 380;
const int kIconSize = 32;
// Room for the name and title beside the icon and the mark of an existing set.
const int kTextWidth = 236;
// Entries shown before the list scrolls.
const int kVisibleEntries = 7;

QLabel *makeLine(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->ensurePolished();
    // Names and titles can be of any length: cut to the room there is, the whole text in
    // the tooltip. Plain text, so that a title cannot bring markup of its own.
    label->setTextFormat(Qt::PlainText);
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, kTextWidth));
    if (label->text() != text)
        label->setToolTip(text);
    return label;
}

} // namespace

ApplicationChooser::ApplicationChooser(std::vector<RunningApplication> applications, IconLoader loadIcon,
                                       QWidget *parent)
    : QDialog(parent)
    , m_applications(std::move(applications))
    , m_loadIcon(std::move(loadIcon))
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setObjectName(QStringLiteral("mainWindowInstance"));
    setWindowTitle(QStringLiteral("添加应用程序"));
    setFixedWidth(kWidth);
    // Before the entries are made: their labels are cut to the fonts this sheet gives them.
    setStyleSheet(QString::fromUtf8(kApplicationChooserStyleSheet));

    m_titleBar = makeTitleBar(this);
    m_titleLabel = new QLabel(windowTitle(), m_titleBar);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    m_closeButton = makeDialogCloseButton(m_titleBar);
    connect(m_closeButton, &CustomImageButton::clicked, this, &QDialog::reject);
    layOutTitleBar(m_titleBar, m_titleLabel, {m_closeButton});

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("applicationList"));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    for (const RunningApplication &application : m_applications)
        addApplicationEntry(application);
    addBrowseEntry();
    int height = 0;
    for (int i = 0; i < std::min(m_list->count(), kVisibleEntries); ++i)
        height += m_list->item(i)->sizeHint().height();
    m_list->setFixedHeight(height + 2 * m_list->frameWidth());
    m_list->setCurrentRow(0);
    m_list->setFocus();
    connect(m_list, &QListWidget::itemClicked, this, &ApplicationChooser::choose);
    connect(m_list, &QListWidget::itemActivated, this, &ApplicationChooser::choose);

    auto *contentLayout = new QVBoxLayout;
    contentLayout->setContentsMargins(12, 6, 12, 16);
    contentLayout->addWidget(m_list);

    auto *dialogLayout = new QVBoxLayout(this);
    dialogLayout->setSpacing(0);
    dialogLayout->setContentsMargins(0, 0, 0, 0);
    dialogLayout->addWidget(m_titleBar);
    dialogLayout->addLayout(contentLayout);
}

void ApplicationChooser::addApplicationEntry(const RunningApplication &application)
{
    auto *row = new QWidget(m_list->viewport());
    auto *icon = new QLabel(row);
    icon->setFixedSize(kIconSize, kIconSize);
    m_iconLabels.push_back(icon);

    auto *lines = new QVBoxLayout;
    lines->setSpacing(1);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->addWidget(makeLine(QStringLiteral("applicationName"), application.name, row));
    lines->addWidget(makeLine(QStringLiteral("applicationTitle"), application.title, row));
    if (application.elevated)
        lines->addWidget(makeLine(QStringLiteral("applicationNote"), QString::fromUtf8(kElevatedApplicationNote), row));

    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(10);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addLayout(lines, 1);
    if (application.hasProfile) {
        auto *mark = new QLabel(QString::fromUtf8(kHasProfileMark), row);
        mark->setObjectName(QStringLiteral("profileMark"));
        layout->addWidget(mark, 0, Qt::AlignTop);
    }

    auto *item = newEntry(application.name);
    item->setData(Qt::UserRole, application.name);
    item->setSizeHint(QSize(0, row->sizeHint().height()));
    m_list->setItemWidget(item, row);
}

void ApplicationChooser::addBrowseEntry()
{
    auto *row = new QWidget(m_list->viewport());
    auto *label = new QLabel(QString::fromUtf8(kBrowseEntryText), row);
    label->setObjectName(QStringLiteral("browseEntry"));
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(8 + kIconSize + 10, 10, 8, 10);
    layout->addWidget(label);
    auto *item = newEntry(label->text());
    item->setSizeHint(QSize(0, row->sizeHint().height()));
    m_list->setItemWidget(item, row);
}

QListWidgetItem *ApplicationChooser::newEntry(const QString &text)
{
    // The entry's own text is drawn by its widget; kept on the item, unseen (the style sheet
    // draws item text transparent), it lets the keyboard find an entry by typing its name and
    // gives screen readers its name.
    return new QListWidgetItem(text, m_list);
}

void ApplicationChooser::choose(QListWidgetItem *item)
{
    if (!item)
        return;
    const int row = m_list->row(item);
    m_browseChosen = row == m_list->count() - 1;
    m_chosenName = m_browseChosen ? QString() : item->data(Qt::UserRole).toString();
    accept();
}

void ApplicationChooser::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_iconLoadingStarted)
        return;
    m_iconLoadingStarted = true;
    QTimer::singleShot(0, this, &ApplicationChooser::loadNextIcon);
}

void ApplicationChooser::loadNextIcon()
{
    if (m_iconsLoaded >= int(m_applications.size()))
        return;
    const std::size_t index = std::size_t(m_iconsLoaded++);
    const QString &path = m_applications[index].imagePath;
    if (m_loadIcon && !path.isEmpty()) {
        const QIcon icon = m_loadIcon(path);
        if (!icon.isNull())
            m_iconLabels[index]->setPixmap(icon.pixmap(QSize(kIconSize, kIconSize)));
    }
    // One icon per pass of the event loop: the chooser answers the user in between.
    QTimer::singleShot(0, this, &ApplicationChooser::loadNextIcon);
}

void ApplicationChooser::paintEvent(QPaintEvent *)
{
    paintRoundedWindow(this, m_titleBar);
}
