#pragma once

#include <QString>
#include <QtGlobal>

class QLabel;
class ClickableLabel;

// The main window's descriptor of one numeric parameter of a parameter set. The labels are
// owned by the window's widget tree; a row only points at them, and both are null for a
// parameter that has no place in the panel.
struct ParamRow {
    QLabel *nameLabel = nullptr;
    ClickableLabel *valueLabel = nullptr;
    qint32 value = 0;
    qint32 step = 1;
    QString unit;
    QString caption;
    qint32 minimum = 0;
    qint32 maximum = 100;
};
