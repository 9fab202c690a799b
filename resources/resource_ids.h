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

// Button icons of the coordinate boxes and the aspect-ratio panel.
// Nudge the corner one pixel.
#define IDI_ARROW_LEFT 103
#define IDI_ARROW_RIGHT 104
#define IDI_ARROW_UP 105
#define IDI_ARROW_DOWN 106
// Pick a corner with the mouse, move between the corners, decide.
#define IDI_PICK_TOP_LEFT 108
#define IDI_PICK_BOTTOM_RIGHT 109
#define IDI_DECIDE 111
#define IDI_TO_BOTTOM_RIGHT 137
#define IDI_BACK_TO_TOP_LEFT 138
// Opens a list.
#define IDI_DROP_DOWN 120
// Aspect ratios.
#define IDI_ASPECT_3_4 112
#define IDI_ASPECT_2_3 113
#define IDI_ASPECT_1_1 114
#define IDI_ASPECT_3_2 115
#define IDI_ASPECT_4_3 116
#define IDI_ASPECT_16_9 117
// What the IDI_BOX_* state icons show:
//   IDI_BOX_0  wheel moves the corner vertically     (wheel_vertical)
//   IDI_BOX_1  wheel moves the corner horizontally   (wheel_horizontal)
//   IDI_BOX_2  aspect ratio kept                     (ratio_locked)
//   IDI_BOX_3  aspect ratio free                     (ratio_free)
//   IDI_BOX_4  display: outside of the selection covered (show_cover)
//   IDI_BOX_5  display: cross-hair lines and frame   (show_cross_hair)
//   IDI_BOX_6  fixed size off, the corner moves      (move_corner)
//   IDI_BOX_7  fixed size on, the rectangle moves    (move_whole)

// The coordinate boxes: normal and large templates.
#define IDD_BOX_TOP_LEFT 101
#define IDD_BOX_BOTTOM_RIGHT 102
#define IDD_BOX_TOP_LEFT_LARGE 132
#define IDD_BOX_BOTTOM_RIGHT_LARGE 133
// Controls of both boxes (one id may play another role in the other box).
#define IDC_BOX_DECIDE 1
#define IDC_BOX_UP 1000
#define IDC_BOX_DOWN 1001
#define IDC_BOX_LEFT 1002
#define IDC_BOX_RIGHT 1003
#define IDC_BOX_XY 1004           // top-left: x,y of the top-left corner
#define IDC_BOX_SWATCH 1005
#define IDC_BOX_RGB 1006
#define IDC_BOX_ASPECT_TEXT 1007  // top-left
#define IDC_BOX_BACK 1008         // top-left: close; bottom-right: back to the top-left
#define IDC_BOX_ASPECT 1009       // top-left: aspect chooser button
#define IDC_BOX_BR_XY 1009        // bottom-right: x,y of the bottom-right corner
#define IDC_BOX_TL_XY 1010        // bottom-right: x,y of the top-left corner
#define IDC_BOX_WIDTH_MENU 1011   // top-left
#define IDC_BOX_CLOSE 1011        // bottom-right: close, go on with the mouse
#define IDC_BOX_WIDTH_TEXT 1012   // top-left
#define IDC_BOX_SIZE_TEXT 1012    // bottom-right
#define IDC_BOX_SIZE_MENU 1013
#define IDC_BOX_WHEEL 1014
#define IDC_BOX_ASPECT_RELEASE 1015
#define IDC_BOX_FIXED 1017
#define IDC_BOX_MODE 900

// The constraint panels and small dialogs.
#define IDD_ASPECT_CHOOSER 118
#define IDD_CUSTOM_ASPECT 122
#define IDD_CUSTOM_WIDTH 123
#define IDD_SIZE 140
#define IDC_CHOOSER_16_9 1014
#define IDC_CHOOSER_3_2 1015
#define IDC_CHOOSER_4_3 1016
#define IDC_CHOOSER_1_1 1017
#define IDC_CHOOSER_3_4 1018
#define IDC_CHOOSER_2_3 1019
#define IDC_CHOOSER_FREE 1020
#define IDC_CHOOSER_CUSTOM 1021
#define IDC_EDIT_WIDTH 1012
#define IDC_EDIT_HEIGHT 1017
#define IDC_SPIN_WIDTH 1018
#define IDC_SPIN_HEIGHT 1019

// The scrap editor and its title dialog.
#define IDD_SCRAP_EDITOR 147
#define IDD_SCRAP_TITLE 151
#define IDI_TO_FIRST 149
#define IDI_TO_LAST 150
#define IDC_SCRAP_FIRST 1044
#define IDC_SCRAP_PREVIOUS 1045
#define IDC_SCRAP_NEXT 1046
#define IDC_SCRAP_LAST 1047
#define IDC_SCRAP_NUMBER 1048
#define IDC_SCRAP_PREVIEW 1049
#define IDC_SCRAP_HEADING 1050
#define IDC_SCRAP_COUNT 1051
#define IDC_SCRAP_TEXT 1052
#define IDC_SCRAP_LINK 1053
#define IDC_SCRAP_MENU 1054
#define IDC_SCRAP_TIME 1055
#define IDC_SCRAP_TITLE 1050
#define IDC_SCRAP_SUBTITLE 1054

// The settings dialog.
#define IDD_SETTINGS 125
#define IDC_SET_ASPECT_TEXT 1007
#define IDC_SET_ASPECT 1009
#define IDC_SET_WIDTH_TEXT 1012
#define IDC_SET_WIDTH 1011
#define IDC_SET_LARGE_BOXES 1029
#define IDC_SET_AUTO_BOX 1027
#define IDC_SET_SEPARATE_RECTS 1030
#define IDC_SET_SHIFT 1024
#define IDC_SET_CTRL 1025
#define IDC_SET_ALT 1026
#define IDC_SET_KEY 1017
#define IDC_SET_PRIMARY 1020
#define IDC_SET_SCALING 1023
#define IDC_SET_EDITOR 1018
#define IDC_SET_EDITOR_PICK 1014

// The output settings dialog.
#define IDD_OUTPUT_SETTINGS 139
#define IDC_OUT_FILE 1036
#define IDC_OUT_CLIPBOARD 1037
#define IDC_OUT_BASE64 1042
#define IDC_OUT_JPEG 1029
#define IDC_OUT_GIF 1030
#define IDC_OUT_PNG 1031
#define IDC_OUT_BMP 1032
#define IDC_OUT_QUALITY 1023
#define IDC_OUT_FOLDER 1017
#define IDC_OUT_FOLDER_PICK 1014
#define IDC_OUT_PREFIX 1033
#define IDC_OUT_NUMBER 1034
#define IDC_OUT_SQUARE 1035
#define IDC_OUT_USE_TEXT 1026
#define IDC_OUT_WRAP_RIGHT 1039
#define IDC_OUT_WRAP_LEFT 1040
#define IDC_OUT_WRAP_NONE 1041
#define IDC_OUT_SCRAP 1018
#define IDC_OUT_SCRAP_PICK 1015
#define IDC_OUT_TO_SCRAP 1043
#define IDC_OUT_TO_CLIPBOARD 1044
