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
#define IDS_REASON_FIRST 220 /* 220..226: why a file is refused, by theme::ThemeReason */
#define IDS_MENU_FIRST 230 /* 230..236: the font list's context menu, IDM_UNDO..IDM_SELECT_ALL */
#define IDS_FONTS_FROM_TITLE 237
#define IDS_FONTS_FROM_DONE 238 /* %1 the file, %2..%4 the counts */
#define IDS_FONTS_FROM_PAGES_LACKING 239 /* %1 the pages */
#define IDS_FONTS_FROM_FAILED 240
#define IDS_NO_NAME_STRING 241
#define IDS_VALUE_TOO_LONG 242 /* %1 the most units */
#define IDS_VALUE_CONTROL 243
#define IDS_SIGNATURE_DROPPED 244
#define IDS_VALUE_FIRST 250 /* 250..258: why a value is refused, by theme::ValueFault; %1 the detail */
#define IDS_VALUE_LAST 258

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
// The font list's context menu, in menu order.
#define IDM_UNDO 40001
#define IDM_REDO 40002
#define IDM_SIZES_LARGER 40003
#define IDM_SIZES_SMALLER 40004
#define IDM_FONTS_FROM_THEME 40005
#define IDM_COPY 40006
#define IDM_SELECT_ALL 40007
