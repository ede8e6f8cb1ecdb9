// Resource identifiers, shared by the resource script and the C++ sources.
// Kinds share numbers (dialog 102 and string 102) but never within a kind;
// the strings are numbered in string_table.txt.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_UPDATE_DIALOG 102

// Icons
#define IDR_MAINFRAME 128

// Controls of the main dialog
#define IDC_PROGRESS 1000
#define IDC_STATUS 1001
#define IDC_WRITE 1002

// System menu command; the platform keeps the low four bits for itself
#define IDM_ABOUTBOX 0x0010
