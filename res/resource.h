// Resource ids shared by the program, its resource script and the language
// and bitmap libraries.
#pragma once

#define IDR_MAINFRAME 128

// Dialog templates
#define IDD_ONLYUSB_INSTALL 102
#define IDD_INSTALL_FOR_ALL 129
#define IDD_AGREEMENT 130
#define IDD_SEARCH_NET_PRINT 131
#define IDD_NET_PRINT_INFO 132
#define IDD_INSTALL 133
#define IDD_INSTALL_COMPLETE 134
#define IDD_MAIN_MANAGE 138
#define IDD_UNISTALL_MAIN_MANAGE 141
#define IDD_ASK_SHOW_WIFI 154
#define IDD_WIFI_CONFIG 155

// Bitmaps (bitmap library, or the language library for right-to-left languages)
#define IDB_ICON_WIRED 144
#define IDB_ICON_USB 145
#define IDB_ICON_WIRELESS 146
#define IDB_BACKGROUND 147
#define IDB_BACKGROUND_OPTIONS 148
#define IDB_BUTTON_NORMAL 149
#define IDB_BUTTON_PRESSED 150
#define IDB_BUTTON_HOVER 151
#define IDB_BUTTON_DISABLED 152
#define IDB_BACKGROUND_SMALL 153
#define IDB_ICON_ONEKEY_WIRELESS 12010
