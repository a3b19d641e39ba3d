# The main frame, its home and disk pages, the pages of the subsystems it hosts, the stand-ins
# of later pages and privacy cleanup.
add_library(zyr_mainframe STATIC
    ${CMAKE_CURRENT_LIST_DIR}/MainFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainFrameFactory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HomePage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HomePageManager.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DiskPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PendingPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrivacyCleanup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShellText.cpp
)
target_include_directories(zyr_mainframe PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zyr_mainframe PUBLIC zyr_appconfig zyr_skin zyr_xml zyr_defragui zyr_restore zyr_schedule_page
    zyr_dupfinder zyr_tray zyr_settings_pages shlwapi shell32 advapi32)
