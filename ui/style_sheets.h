#pragma once

// Style sheet texts shared by the main window and the value editor. The dialog carries the
// window's own rules for the frame, the title bar and the title label, so both look alike.

// The main window's sheet, applied to the window itself.
extern const char kMainWindowStyleSheet[];

// The value editor dialog's sheet.
extern const char kSettingsDialogStyleSheet[];

// The value editor's slider: groove, round handle and its hover and pressed colours.
extern const char kValueSliderStyleSheet[];

// The large value display of the value editor.
extern const char kValueDisplayStyleSheet[];

// The settings panel's scroll area and the content widget inside it.
extern const char kScrollAreaStyleSheet[];

// The small remove button on every application entry of the profile list.
extern const char kRemoveButtonStyleSheet[];

// The chooser of a running application to add: the window's frame rules, its list and the
// lines of an entry.
extern const char kApplicationChooserStyleSheet[];

// The colours of the up and the down values, also those of their glide pictures.
extern const char kUpColour[];
extern const char kDownColour[];
