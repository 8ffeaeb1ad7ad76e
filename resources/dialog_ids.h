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

// The effects' dialogs ("Border...", "Drop Shadow...", "Torn Edge...",
// "Rounded Corners..."): the values of each, and what all of them have.
#define IDC_FX_BACKGROUND 301
#define IDC_FX_EVERY 302
#define IDC_FX_OFFSET_X 303
#define IDC_FX_OFFSET_Y 304
#define IDC_FX_SOFTNESS 305
#define IDC_FX_OPACITY 306
#define IDC_FX_TOP 307
#define IDC_FX_RIGHT 308
#define IDC_FX_BOTTOM 309
#define IDC_FX_LEFT 310
#define IDC_FX_DEPTH 311
#define IDC_FX_RADIUS 312
#define IDC_FX_BORDER 313
