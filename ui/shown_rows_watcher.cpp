#include "ui/shown_rows_watcher.h"

#include <QEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QTimer>

ShownRowsWatcher::ShownRowsWatcher(QListWidget *list)
    : QObject(list)
    , m_list(list)
{
    list->installEventFilter(this);
    connect(list->verticalScrollBar(), &QScrollBar::valueChanged, this, &ShownRowsWatcher::rowsInViewChanged);
}

std::pair<int, int> ShownRowsWatcher::rowsInView(QListWidget *list)
{
    if (!list->isVisible() || list->count() == 0)
        return {0, -1};
    // Asking for a row's place first lays out rows added since the last layout, if any.
    list->visualItemRect(list->item(0));
    const QRect view = list->viewport()->rect();
    const int first = list->indexAt(view.topLeft()).row();
    const int last = list->indexAt(view.bottomLeft()).row();
    return {first < 0 ? 0 : first, last < 0 ? list->count() - 1 : last};
}

bool ShownRowsWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && (event->type() == QEvent::Show || event->type() == QEvent::Resize))
        QTimer::singleShot(0, this, &ShownRowsWatcher::rowsInViewChanged);
    return QObject::eventFilter(watched, event);
}
