// Resource ids of the notification-area icon and the fragmentation reminder.
#pragma once

#define IDS_REMINDER_TITLE 426
#define IDS_REMINDER_TEXT 427
