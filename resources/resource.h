// Resource and control identifiers shared by the resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_REFLASHER_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_BUSY_FRAME_1 145
#define IDB_BUSY_FRAME_2 146
#define IDB_BUSY_FRAME_3 147
#define IDB_BUSY_FRAME_4 148
#define IDB_LOGO 199
// The same pictures drawn for larger display scales: the set for a scale begins at
// its base, the four busy frames at base + 1 .. base + 4 and the logo at base + 5.
#define IDB_PICTURES_125 300
#define IDB_PICTURES_150 310
#define IDB_PICTURES_175 320
#define IDB_PICTURES_200 330
#define IDR_FIRMWARE_IMAGE 204

#define IDC_BROWSE 1001
#define IDC_PROGRESS 1002
#define IDC_START_DOWNLOAD 1003
#define IDC_FILE_PATH 1004
#define IDC_FIRMWARE_NOTICE 1005
#define IDC_EXIT 1007
#define IDC_BUSY_PICTURE 1010
#define IDC_STATUS_LINE 1012
#define IDC_OPEN_FILE_GROUP 1013
#define IDC_PRINTER_COMBO 1014
#define IDC_LOGO 1015

#define IDM_ABOUTBOX 0x0010
