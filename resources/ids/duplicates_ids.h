// Resource ids of the duplicate finder: its page templates and controls.
#pragma once

#define IDD_DUP_START 317
#define IDD_DUP_FINDER 318
#define IDD_DUP_RESULTS 320
#define IDD_DUP_PROGRESS 323

// Start page.
#define IDC_DUP_FOLDER 1004
#define IDC_DUP_BROWSE 1006
#define IDC_DUP_SUBFOLDERS 1025
#define IDC_DUP_ALL_FILES 1027
#define IDC_DUP_KINDS 1028
#define IDC_DUP_IMAGES 1029
#define IDC_DUP_AUDIO 1030
#define IDC_DUP_VIDEO 1031
#define IDC_DUP_DOCUMENTS 1032
#define IDC_DUP_START 1001
#define IDC_DUP_EXPLAIN 1148
#define IDC_DUP_FOLDER_GROUP 1149
#define IDC_DUP_KINDS_GROUP 1150

// Progress page.
#define IDC_DUP_PROGRESS 1048
#define IDC_DUP_PATH 1035
#define IDC_DUP_FOUND 1036
#define IDC_DUP_DUPLICATES 1037
#define IDC_DUP_STOP 1013
#define IDC_DUP_PROGRESS_GROUP 1151

// Results page (1036 and 1037 are buttons here).
#define IDC_DUP_DELETE 1036
#define IDC_DUP_MOVE 1037
#define IDC_DUP_SELECT_BUT_FIRST 1041
#define IDC_DUP_BACK 1038
