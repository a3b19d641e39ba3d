; The Zyr Disk Care installer and uninstaller (64-bit, Unicode). Built by CMake from the
; program folder; makensis gets DIST_DIR, ICON_FILE, OUT_FILE and VERSION with -D.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define APPNAME "Zyr Disk Care"
!define COMPANY "Tavrin Labs"
!define EXE "ZyrDiskCare.exe"
!define FRAME_CLASS "ZyrDiskCareFrame"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZyrDiskCare"
!define MACHINE_KEY "Software\${COMPANY}\${APPNAME}"
!define USER_KEY "Software\${COMPANY}\${APPNAME}"

Name "${APPNAME}"
Caption "${APPNAME} ${VERSION} Setup"
UninstallCaption "${APPNAME} Uninstall"
OutFile "${OUT_FILE}"
Icon "${ICON_FILE}"
UninstallIcon "${ICON_FILE}"
InstallDir "$PROGRAMFILES64\${APPNAME}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
BrandingText "${COMPANY}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APPNAME}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${APPNAME} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright ${COMPANY}"

ComponentText "Choose how ${APPNAME} should be installed." "" ""
DirText "Setup will install ${APPNAME} in the following folder."
Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage components
UninstPage instfiles

; Asks a running instance to close and waits for its window to go (at most ten seconds).
!macro CloseRunningInstanceFunction prefix
Function ${prefix}CloseRunningInstance
    IfFileExists "$INSTDIR\${EXE}" 0 +2
    ExecWait '"$INSTDIR\${EXE}" -shutdown'
    StrCpy $1 0
    wait:
    FindWindow $0 "${FRAME_CLASS}"
    StrCmp $0 0 closed
    IntOp $1 $1 + 1
    IntCmp $1 50 closed
    Sleep 200
    Goto wait
    closed:
FunctionEnd
!macroend
!insertmacro CloseRunningInstanceFunction ""
!insertmacro CloseRunningInstanceFunction "un."

Section "${APPNAME} (required)" SecProgram
    SectionIn RO
    SetRegView 64
    Call CloseRunningInstance
    SetOutPath "$INSTDIR"
    File "${DIST_DIR}/${EXE}"
    File "${DIST_DIR}/MyResources.dll"
    File "${DIST_DIR}/noapp.exe"
    File "${DIST_DIR}/settings.xml"
    File "${DIST_DIR}/colors.xml"
    File /nonfatal /r "${DIST_DIR}/Images"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\${APPNAME}"
    CreateShortcut "$SMPROGRAMS\${APPNAME}\${APPNAME}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
    CreateShortcut "$SMPROGRAMS\${APPNAME}\Uninstall ${APPNAME}.lnk" "$INSTDIR\Uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APPNAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

    ; The program's own one-shot set-up: the unknown-file handler and its weekly tasks.
    ExecWait '"$INSTDIR\${EXE}" -install'
    ExecWait '"$INSTDIR\${EXE}" -addtask'
    ; A silent install is announced by the program at its first start.
    IfSilent 0 +2
    WriteRegDWORD HKLM "${MACHINE_KEY}" "Silent" 1
SectionEnd

Section /o "Start ${APPNAME} when I log on" SecLogon
    ExecWait '"$INSTDIR\${EXE}" -launchonlogon'
SectionEnd

Function .onInstSuccess
    IfSilent done
    MessageBox MB_YESNO|MB_ICONQUESTION "${APPNAME} is installed. Start it now?" IDNO done
    Exec '"$INSTDIR\${EXE}"'
    done:
FunctionEnd

Section "un.${APPNAME}" SecUninstallProgram
    SectionIn RO
    SetRegView 64
    Call un.CloseRunningInstance
    ExecWait '"$INSTDIR\${EXE}" -uninstall'

    Delete "$INSTDIR\${EXE}"
    Delete "$INSTDIR\MyResources.dll"
    Delete "$INSTDIR\noapp.exe"
    Delete "$INSTDIR\settings.xml"
    Delete "$INSTDIR\colors.xml"
    RMDir /r "$INSTDIR\Images"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "$SMPROGRAMS\${APPNAME}\${APPNAME}.lnk"
    Delete "$SMPROGRAMS\${APPNAME}\Uninstall ${APPNAME}.lnk"
    RMDir "$SMPROGRAMS\${APPNAME}"

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${MACHINE_KEY}"
    DeleteRegKey /ifempty HKLM "Software\${COMPANY}"
SectionEnd

Section /o "un.Remove my ${APPNAME} settings" SecUninstallSettings
    DeleteRegKey HKCU "${USER_KEY}"
    DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
SectionEnd
