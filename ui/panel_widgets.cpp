#include "ui/panel_widgets.h"

#include "ui/clickable_label.h"
#include "ui/custom_image_button.h"
#include "ui/style_sheets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QWidget *makeTitleBar(QWidget *window)
{
    auto *titleBar = new QWidget(window);
    titleBar->setAttribute(Qt::WA_TranslucentBackground);
    titleBar->setObjectName(QStringLiteral("customTitleBar"));
    titleBar->setFixedHeight(60);
    titleBar->setAutoFillBackground(true);
    return titleBar;
}

CustomImageButton *makeDialogCloseButton(QWidget *titleBar)
{
    auto *button = new CustomImageButton(QStringLiteral(":/res/close_normal.png"), QStringLiteral(":/res/close_hover.png"),
                                         QStringLiteral(":/res/close_pressed.png"), false, QString(), QString(), titleBar);
    button->setToolTip(QStringLiteral("关闭"));
    return button;
}

void layOutTitleBar(QWidget *titleBar, QLabel *title, std::initializer_list<QWidget *> buttons)
{
    auto *layout = new QHBoxLayout(titleBar);
    layout->setContentsMargins(15, 0, 22, 0);
    layout->addWidget(title);
    layout->addStretch();
    for (QWidget *button : buttons) {
        layout->addSpacing(8);
        layout->addWidget(button);
    }
}

QWidget *makePanelGroup(const QString &title, QWidget *parent, QVBoxLayout **layout)
{
    auto *group = new QWidget(parent);
    auto *column = new QVBoxLayout(group);
    column->setSpacing(8);
    column->setContentsMargins(0, 0, 0, 0);
    auto *titleLabel = new QLabel(title, group);
    titleLabel->setObjectName(QStringLiteral("groupTitleLabel"));
    titleLabel->setAlignment(Qt::AlignCenter);
    column->addWidget(titleLabel, 0, Qt::AlignHCenter);
    *layout = column;
    return group;
}

QLabel *makeSideLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("paramNameLabel"));
    label->setFixedWidth(30);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

ClickableLabel *makeValueLabel(const QString &objectName, QWidget *parent)
{
    auto *label = new ClickableLabel(parent);
    label->setCursor(Qt::PointingHandCursor);
    label->setObjectName(objectName);
    label->setFixedWidth(62);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QWidget *makeRemoveButtonRow(QPushButton **button)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 5, 0);
    layout->setSpacing(0);
    layout->addStretch();
    auto *remove = new QPushButton(row);
    remove->setFixedSize(14, 14);
    remove->setStyleSheet(QString::fromLatin1(kRemoveButtonStyleSheet));
    layout->addWidget(remove);
    *button = remove;
    return row;
}
