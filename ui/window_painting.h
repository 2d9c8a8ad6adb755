#pragma once

class QWidget;

// The look shared by the program's frameless windows: a dark body with 12-pixel rounded
// corners (transparent outside them) and a lighter band under the title bar, which the
// title bar then paints over itself. titleBar may be null.
void paintRoundedWindow(QWidget *window, const QWidget *titleBar);
