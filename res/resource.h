#pragma once
// Resource ids of the executable, and its version as people read it (the
// version record and the about box show the same text).
#define APP_VERSION_TEXT "1.08.0089"

#define IDI_APP 1
#define IDC_HAND_POINTER 2

// Main window pictures.
#define IDP_BODY 101
#define IDP_OK_NORMAL 102
#define IDP_OK_HOVER 103
#define IDP_END_NORMAL 104
#define IDP_END_HOVER 105
#define IDP_MIN_NORMAL 106
#define IDP_MIN_HOVER 107
#define IDP_CLOSE_NORMAL 108
#define IDP_CLOSE_HOVER 109
#define IDP_DING_NORMAL 110
#define IDP_DING_TOP 111
#define IDP_CHK_EMPTY 112
#define IDP_CHK_TICKED 113

// Notice dialog pictures.
#define IDP_NOTICE_BODY 201
#define IDP_NOTICE_OK_NORMAL 202
#define IDP_NOTICE_OK_HOVER 203
