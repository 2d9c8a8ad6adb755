#pragma once

#include <QObject>

class QListWidget;

// Watches a list for rows coming into view: the list shown or resized, or scrolled. Lets a
// long list give its rows their item widgets only once they can be seen, instead of all at
// once. Owned by the list.
class ShownRowsWatcher : public QObject {
    Q_OBJECT

public:
    explicit ShownRowsWatcher(QListWidget *list);

    // The first and last row in view, or first > last when the list is hidden or empty.
    static std::pair<int, int> rowsInView(QListWidget *list);

signals:
    // Other rows may be in view now. After a show or a resize it comes once the list has
    // been laid out, from the event loop.
    void rowsInViewChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *m_list;
};
