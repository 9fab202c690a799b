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
