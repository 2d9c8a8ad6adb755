#include "ui/style_sheets.h"

// The pieces are literals so that the sheets are plain constants and the rules common to
// the window and the dialog are written once.

#define SORVELLA_UP_COLOUR "#299bed"
#define SORVELLA_DOWN_COLOUR "#cf2f74"

#define SORVELLA_FONT_FAMILY "\"Microsoft YaHei\", SimHei, sans-serif"

#define SORVELLA_FRAME_RULES \
    "#mainWindowInstance {\n" \
    "    background-color: #282c34;\n" \
    "    color: #abb2bf;\n" \
    "    font-family: " SORVELLA_FONT_FAMILY ";\n" \
    "    font-size: 14px;\n" \
    "    border-radius: 8px;\n" \
    "}\n" \
    "QWidget {\n" \
    "    font-family: " SORVELLA_FONT_FAMILY ";\n" \
    "    font-size: 14px;\n" \
    "    color: #abb2bf;\n" \
    "}\n" \
    "QWidget#customTitleBar {\n" \
    "    background-color: #21252b;\n" \
    "    padding: 0px;\n" \
    "}\n" \
    "QLabel#titleLabel {\n" \
    "    font-size: 20px;\n" \
    "    font-weight: bold;\n" \
    "    color: #ffffff;\n" \
    "    padding-left: 5px;\n" \
    "}\n"

#define SORVELLA_PARAMETER_RULES \
    "QLabel#groupTitleLabel {\n" \
    "    font-size: 16px;\n" \
    "    font-weight: bold;\n" \
    "    color: #c8ccd4;\n" \
    "    padding-top: 8px;\n" \
    "    padding-bottom: 10px;\n" \
    "}\n" \
    "QLabel#paramNameLabel {\n" \
    "    font-size: 16px;\n" \
    "    font-weight: bold;\n" \
    "    color: #ffffff;\n" \
    "}\n" \
    "ClickableLabel#valueLabel {\n" \
    "    font-size: 16px;\n" \
    "    font-weight: bold;\n" \
    "    color: " SORVELLA_UP_COLOUR ";\n" \
    "    border-radius: 2px;\n" \
    "}\n" \
    "ClickableLabel#valueLabel:hover {\n" \
    "    color: #FFBABA;\n" \
    "    background-color: #3a3f4b;\n" \
    "}\n" \
    "ClickableLabel#valueLabel2 {\n" \
    "    font-size: 16px;\n" \
    "    font-weight: bold;\n" \
    "    color: " SORVELLA_DOWN_COLOUR ";\n" \
    "    border-radius: 2px;\n" \
    "}\n" \
    "ClickableLabel#valueLabel2:hover {\n" \
    "    color: #cf2f74;\n" \
    "    background-color: #3a3f4b;\n" \
    "}\n"

#define SORVELLA_RADIO_RULES \
    "QRadioButton#radioButton, QCheckBox#smoothCheckBox, QCheckBox#displayPacedCheckBox {\n" \
    "    font-size: 16px;\n" \
    "    font-weight: bold;\n" \
    "    color: #ffffff;\n" \
    "    spacing: 8px;\n" \
    "    padding: 0px;\n" \
    "}\n" \
    "QRadioButton#radioButton::indicator {\n" \
    "    width: 15px;\n" \
    "    height: 15px;\n" \
    "    border-radius: 7px;\n" \
    "}\n" \
    "QRadioButton#radioButton::indicator:unchecked {\n" \
    "    border: 1px solid #5c6370;\n" \
    "    background-color: #282c34;\n" \
    "}\n" \
    "QRadioButton#radioButton::indicator:unchecked:hover {\n" \
    "    border: 1px solid #61afef;\n" \
    "}\n" \
    "QRadioButton#radioButton::indicator:checked {\n" \
    "    border: 1px solid #E58C8C;\n" \
    "    background-color: #E58C8C;\n" \
    "}\n" \
    "QRadioButton#radioButton::indicator:checked:hover {\n" \
    "    border: 1px solid #FFBABA;\n" \
    "    background-color: #FFBABA;\n" \
    "}\n"

#define SORVELLA_CHECK_BOX_RULES \
    "QCheckBox#smoothCheckBox::indicator, QCheckBox#displayPacedCheckBox::indicator {\n" \
    "    width: 24px;\n" \
    "    height: 24px;\n" \
    "}\n" \
    "QCheckBox#smoothCheckBox::indicator:unchecked, QCheckBox#displayPacedCheckBox::indicator:unchecked {\n" \
    "    image: url(:/res/box_uncheck.png);\n" \
    "}\n" \
    "QCheckBox#smoothCheckBox::indicator:checked, QCheckBox#displayPacedCheckBox::indicator:checked {\n" \
    "    image: url(:/res/box_check.png);\n" \
    "}\n" \
    "QCheckBox#smoothCheckBox:unchecked, QCheckBox#displayPacedCheckBox:unchecked {\n" \
    "    color: #555555;\n" \
    "}\n" \
    "QCheckBox#smoothCheckBox:checked, QCheckBox#displayPacedCheckBox:checked {\n" \
    "    color: #FFFFFF;\n" \
    "}\n"

#define SORVELLA_COMBO_BOX_RULES \
    "QComboBox#appComboBox {\n" \
    "    color: #abb2bf;\n" \
    "    background-color: #21252b;\n" \
    "    border: 1px solid #444444;\n" \
    "    border-radius: 4px;\n" \
    "    padding: 4px 18px 4px 8px;\n" \
    "    min-width: 6em;\n" \
    "    font-size: 16px;\n" \
    "    font-weight: bold;\n" \
    "}\n" \
    "QComboBox#appComboBox::drop-down {\n" \
    "    subcontrol-origin: padding;\n" \
    "    subcontrol-position: top right;\n" \
    "    width: 20px;\n" \
    "    border-left: 1px solid #444444;\n" \
    "    border-top-right-radius: 3px;\n" \
    "    border-bottom-right-radius: 3px;\n" \
    "}\n" \
    "QComboBox#appComboBox::down-arrow {\n" \
    "    image: url(:/res/down_arrow.png);\n" \
    "}\n" \
    "QComboBox#appComboBox QAbstractItemView {\n" \
    "    border: 1px solid #444444;\n" \
    "    background-color: #282c34;\n" \
    "    selection-background-color: #28a7ac;\n" \
    "    color: #abb2bf;\n" \
    "}\n"

#define SORVELLA_SEPARATOR_RULES \
    "QFrame#separatorLine {\n" \
    "    background-color: #3a3f4b;\n" \
    "    border: none;\n" \
    "}\n"

// The arrows and the page areas are hidden: the bar is a bare track with a rounded handle. It
// stops short of the window's rounded lower corner, which it would otherwise paint square.
#define SORVELLA_SCROLL_BAR_RULES \
    "QScrollBar:vertical {\n" \
    "    border: none;\n" \
    "    background: #282c34;\n" \
    "    width: 10px;\n" \
    "    margin: 0px 0px 12px 0px;\n" \
    "}\n" \
    "QScrollBar::handle:vertical {\n" \
    "    background: #4F5663;\n" \
    "    min-height: 30px;\n" \
    "    border-radius: 5px;\n" \
    "}\n" \
    "QScrollBar::handle:vertical:hover {\n" \
    "    background: #444444;\n" \
    "}\n" \
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical {\n" \
    "    height: 0px;\n" \
    "    border: none;\n" \
    "    background: none;\n" \
    "}\n" \
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical {\n" \
    "    background: none;\n" \
    "}\n"

#define SORVELLA_SCROLL_AREA_RULES \
    "QScrollArea#scrollArea, QWidget#settingsWidget {\n" \
    "    border: none;\n" \
    "    background: transparent;\n" \
    "}\n"

const char kUpColour[] = SORVELLA_UP_COLOUR;
const char kDownColour[] = SORVELLA_DOWN_COLOUR;

const char kMainWindowStyleSheet[] =
    SORVELLA_FRAME_RULES
    SORVELLA_SCROLL_AREA_RULES
    SORVELLA_PARAMETER_RULES
    SORVELLA_RADIO_RULES
    SORVELLA_CHECK_BOX_RULES
    SORVELLA_COMBO_BOX_RULES
    SORVELLA_SCROLL_BAR_RULES;

const char kSettingsDialogStyleSheet[] =
    SORVELLA_FRAME_RULES
    SORVELLA_PARAMETER_RULES
    SORVELLA_RADIO_RULES
    SORVELLA_SEPARATOR_RULES
    SORVELLA_SCROLL_BAR_RULES;

const char kValueSliderStyleSheet[] =
    "QSlider {\n"
    "    min-height: 24px;\n"
    "}\n"
    "QSlider::groove:horizontal {\n"
    "    border: none;\n"
    "    height: 8px;\n"
    "    background: #424242;\n"
    "    border-radius: 4px;\n"
    "    margin: 0px;\n"
    "}\n"
    "QSlider::handle:horizontal {\n"
    "    width: 24px;\n"
    "    height: 24px;\n"
    "    background: #30C6B2;\n"
    "    border: none;\n"
    "    border-radius: 12px;\n"
    "    margin: -8px 0px;\n"
    "}\n"
    "QSlider::handle:horizontal:hover {\n"
    "    background: #38E0C4;\n"
    "}\n"
    "QSlider::handle:horizontal:pressed {\n"
    "    background: #29B09E;\n"
    "}\n";

const char kValueDisplayStyleSheet[] =
    "QLabel { font-family: 'Microsoft YaHei'; font-size: 20px; color: #30c6b2; font-weight: bold; }";

const char kScrollAreaStyleSheet[] =
    "QScrollArea#scrollArea { background: transparent; border:none;} QWidget#settingsWidget { background: transparent; }";

const char kRemoveButtonStyleSheet[] =
    "QPushButton { border-image: url(:/res/normal.png); }QPushButton:hover { border-image: url(:/res/hover.png); }"
    "QPushButton:pressed { border-image: url(:/res/pressed.png); }";

const char kApplicationChooserStyleSheet[] =
    SORVELLA_FRAME_RULES
    SORVELLA_SCROLL_BAR_RULES
    "QListWidget#applicationList {\n"
    "    border: none;\n"
    "    background: transparent;\n"
    "    outline: none;\n"
    "}\n"
    "QListWidget#applicationList::item {\n"
    "    border-radius: 6px;\n"
    "    color: transparent;\n"
    "}\n"
    "QListWidget#applicationList::item:hover {\n"
    "    background-color: #2c313a;\n"
    "}\n"
    "QListWidget#applicationList::item:selected {\n"
    "    background-color: #3a3f4b;\n"
    "    color: transparent;\n"
    "}\n"
    "QLabel#applicationName {\n"
    "    font-size: 15px;\n"
    "    font-weight: bold;\n"
    "    color: #ffffff;\n"
    "}\n"
    "QLabel#applicationTitle {\n"
    "    font-size: 12px;\n"
    "    color: #7f8896;\n"
    "}\n"
    "QLabel#applicationNote {\n"
    "    font-size: 12px;\n"
    "    color: #e5c07b;\n"
    "}\n"
    "QLabel#profileMark {\n"
    "    font-size: 12px;\n"
    "    color: #30c6b2;\n"
    "}\n"
    "QLabel#browseEntry {\n"
    "    font-size: 15px;\n"
    "    font-weight: bold;\n"
    "    color: #299bed;\n"
    "}\n";
