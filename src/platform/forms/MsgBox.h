#pragma once
// VB's MsgBox: a message with a choice of buttons and an icon, put to the user
// through the os layer's dialog door, so that tests and scripts answer it as
// they answer every other dialog.
//
//     if (forms::MsgBox("Falhou", forms::vbCritical, "GRADE_10") == forms::vbOK) ...

#include <string>

namespace forms {

// Buttons (the low bits of Buttons).
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
// Icons.
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
// The button Enter presses.
inline constexpr int vbDefaultButton1 = 0;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;

// What MsgBox returns: the button pressed.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// Shows Prompt with the buttons and icon of Buttons and waits for the
// user's choice. An empty Title shows the program's name. Escape (or the
// window's close button) presses the last button: Cancel, No, Ignore, or OK
// when it is alone.
int MsgBox(const std::string& Prompt, int Buttons = vbOKOnly, const std::string& Title = "");

}  // namespace forms
