// Resource identifiers of Pelican.exe.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDD_PELICAN_DIALOG 102
#define IDD_INPUT_NAME 106
#define IDD_CONTAINER 129
#define IDD_SPLITTER 130
#define IDC_ABOUT_VERSION 1001
