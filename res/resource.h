// Resource ids of Marvento.exe, shared by the resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MARVENTO_DIALOG 102
#define IDR_MAINFRAME 128

// Texts of the code, one string table per language.
#define IDS_XP_ONLY 200
#define IDS_LOAD_FAILED 201
#define IDS_WRITE_FAILED 202
#define IDS_DISCARD_QUESTION 203
#define IDS_THEME_FILTER 204
#define IDS_OPEN_TITLE 205
#define IDS_SAVE_TITLE 206
#define IDS_LABEL_FACE 207
#define IDS_COLUMN_FIRST 208 /* 208..213: the six column titles */
#define IDS_LABEL_STYLE_NAME 214
#define IDS_LABEL_SIZE_NAME 215
#define IDS_LABEL_BULK_FONT 216
#define IDS_REASON_FIRST 220 /* 220..226: why a file is refused, by theme::ThemeReason; none in English */

#define IDC_FONT_LIST 101
#define IDC_FACE_EDITOR 102
#define IDC_SIZE_EDITOR 103
#define IDC_OPTION_EDITOR 104
#define IDC_SIZE_NAME 106
#define IDC_STYLE_NAME 107
#define IDC_BULK_FONT 108
#define IDC_LOAD 1000
#define IDC_TAB 1009
#define IDC_WRITE 1014
#define IDC_VERSION 1017
#define IDC_LABEL 0xFFFF

#define IDM_ABOUTBOX 0x0010
