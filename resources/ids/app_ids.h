// Resource ids of the application shell (strings named by number in the program).
#pragma once

#define IDR_MAINFRAME 128          // icon, menu and product display name
#define IDS_APP_TITLE 0xE000       // application title (57344)
#define IDS_NOT_ADMIN 262
#define IDR_TRAY_MENU 186
