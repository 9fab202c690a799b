// Resource ids shared by the .rc files and the code.
#pragma once

#define IDI_APP 101
// The coordinate boxes' state icons, loaded at start-up in this order.
#define IDI_BOX_0 127
#define IDI_BOX_1 128
#define IDI_BOX_2 129
#define IDI_BOX_3 130
#define IDI_BOX_4 133
#define IDI_BOX_5 134
#define IDI_BOX_6 136
#define IDI_BOX_7 135

// Shared dialogs: the notice (and keyboard help) and the start options.
#define IDD_NOTICE 105
#define IDC_NOTICE_TEXT 1025
#define IDD_START_OPTIONS 145
#define IDC_START_DELAY3 1036
#define IDC_START_DELAY5 1037
#define IDI_START_NOW 142
#define IDI_START_DELAY3 143
#define IDI_START_DELAY5 144

// The About box of the tray menu.
#define IDD_ABOUT 155
