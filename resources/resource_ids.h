// Identifiers of the window's resources and controls, shared by the resource
// script and the code. Plain macros: the resource compiler reads them too.
#pragma once

#define IDD_MAIN_DIALOG 129
#define IDB_BACKGROUND 104
#define IDI_PROGRAM 107
#define IDI_PROGRAM_SIZES 108

#define IDC_CHOOSE_FONT 1000
#define IDC_SAVE_FONT 1002
#define IDC_PREVIEW_LINE1 (-1)
#define IDC_PREVIEW_LINE2 1003
#define IDC_PREVIEW_LINE3 1004
