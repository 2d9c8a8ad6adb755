#pragma once
// Pieces the settings panel is built from. Each returns a widget owned by `parent` (or, for
// the remove-button row, by the list that installs it), with the object name the window's
// style sheet selects it by.

#include <QString>

#include <initializer_list>

class ClickableLabel;
class CustomImageButton;
class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;

// The title bar of a frameless window (object name "customTitleBar", 60 pixels high) and
// its layout: the title on the left, then each button after a spacing of 8.
QWidget *makeTitleBar(QWidget *window);
void layOutTitleBar(QWidget *titleBar, QLabel *title, std::initializer_list<QWidget *> buttons);

// A dialog's close button on its title bar: the close images, tooltip "关闭".
CustomImageButton *makeDialogCloseButton(QWidget *titleBar);

// A group of the panel: a widget with a vertical box layout (spacing 8, no margins) whose
// first item is the centred group title (object name "groupTitleLabel").
QWidget *makePanelGroup(const QString &title, QWidget *parent, QVBoxLayout **layout);

// A side label of a parameter row ("上滑" or "下滑"): 30 pixels wide, centred.
QLabel *makeSideLabel(const QString &text, QWidget *parent);

// A clickable value label of a parameter row: 62 pixels wide, centred, pointing-hand cursor.
ClickableLabel *makeValueLabel(const QString &objectName, QWidget *parent);

// The widget of an application entry in the profile list: a 14 x 14 remove button 5 pixels
// from the right edge. The button is returned through `button`.
QWidget *makeRemoveButtonRow(QPushButton **button);
