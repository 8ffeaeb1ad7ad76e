// The control numbers of the dialogs that the resource script holds, shared by
// the script and the code that runs them.
#pragma once

// "Keys...": a row per capture, from the top: its name, its key, and Win.
#define IDC_KEY_FIRST 101
#define IDC_KEY_WIN_FIRST 111
#define IDC_KEY_LABEL_FIRST 121
#define IDC_KEY_DEFAULTS 130

// "Save Every Capture...".
#define IDC_SAVE_ON 201
#define IDC_SAVE_FOLDER 202
#define IDC_SAVE_BROWSE 203
#define IDC_SAVE_NAME 204
#define IDC_SAVE_TYPE 205
