// Resource ids of scheduling: the schedule page, the options dialog and the task texts.
#pragma once

// Strings
#define IDS_SCHEDULE_LIMIT 176            // at most ten schedules
#define IDS_NO_SCHEDULES 180              // placeholder line of an empty schedule list
#define IDS_SCHEDULE_UNREADABLE 181       // the selected schedule cannot be read for Edit
#define IDS_SCHEDULE_DELETE_QUESTION 186
// Texts of the frame (frame.rc) and of the defrag page's drive list (defrag.rc) used here too.
#define IDS_HEADER_IMAGE_MISSING 263
#define IDS_DRIVE_COLUMN_DRIVE 273
#define IDS_DRIVE_COLUMN_FILE_SYSTEM 275
#define IDS_DRIVE_COLUMN_TOTAL 276
#define IDS_DRIVE_COLUMN_FREE 277
#define IDS_DRIVE_COLUMN_USED 278
#define IDS_SCHEDULE_PAGE_TITLE 478
#define IDS_SCHEDULE_PAGE_SUBTITLE 479
#define IDS_SCHEDULE_HOME_TEXT 480
#define IDS_ONE_DRIVE_NEEDED 522
#define IDS_SCHEDULE_HOME_TITLE 523
#define IDS_LOGON_TASK_NAME 526
#define IDS_LOGON_TASK_COMMENT 527
#define IDS_SCHEDULE_PREFIX 529
#define IDS_SCHEDULE_OPTIONS_CAPTION 546
// Captions of the page's two panels (numbers of this program's own range).
#define IDS_SCHEDULE_DRIVES_CAPTION 24001
#define IDS_SCHEDULE_LIST_CAPTION 24002

// Dialog templates
#define IDD_SCHEDULE_OPTIONS 177
#define IDD_DEFRAG_SCHEDULE_PAGE 416

// Controls of the schedule page
#define IDC_SCHEDULE_DRIVE_LIST 1000
#define IDC_SCHEDULE_LIST 151
#define IDC_SCHEDULE_ADD 152
#define IDC_SCHEDULE_DELETE 154
#define IDC_SCHEDULE_EDIT 160

// Controls of the options dialog
#define IDC_SCHEDULE_HOUR 162
#define IDC_SCHEDULE_MINUTE 164
#define IDC_SCHEDULE_MONDAY 166
#define IDC_SCHEDULE_TUESDAY 167
#define IDC_SCHEDULE_WEDNESDAY 168
#define IDC_SCHEDULE_THURSDAY 169
#define IDC_SCHEDULE_FRIDAY 170
#define IDC_SCHEDULE_SATURDAY 171
#define IDC_SCHEDULE_SUNDAY 172
