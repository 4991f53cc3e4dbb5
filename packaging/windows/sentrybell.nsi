; SPDX-License-Identifier: MIT
; The Windows installer of Sentrybell, built by scripts/package-windows with Debian's makensis:
;   makensis -DVERSION=<x.y.z> -DSTAGE=<folder with sentrybell.exe and doc\> -DICON=<.ico> -DOUTFILE=<setup.exe> sentrybell.nsi
;
; Installs sentrybell.exe and the documents its contact notices open into Program Files, adds a
; Start-menu entry, registers the event source "Sentrybell" in the Application log with the program
; itself as its message file and, if chosen (or /LOGON on the command line), a scheduled task that
; starts the program at every administrator's logon with highest privileges: Windows starts no
; program that requires elevation from the Run key or the Startup folder. The uninstaller removes
; what the installer put there and nothing else, so the operator's SETTING.ini and a log kept beside
; the program stay.
;
; Silent: setup.exe /S [/LOGON] [/D=<folder>]    uninstall.exe /S

Unicode true
; The 64-bit stub: the program is 64-bit, and Program Files is the 64-bit one.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"
!include "WordFunc.nsh"

!ifndef VERSION | STAGE | OUTFILE | ICON
    !error "VERSION, STAGE, OUTFILE and ICON must be defined"
!endif

!define PRODUCT "Sentrybell"
!define TASK "Sentrybell"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Sentrybell"
!define WINDOW_CLASS "SentrybellMainWindow"
!define EVENT_SOURCE_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\Sentrybell"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\sentrybell.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

; A running copy holds sentrybell.exe open: ask its window to close, as the close box does, and wait
; for it to go (at most ten seconds).
!macro CloseRunningProgram un
Function ${un}CloseRunningProgram
    StrCpy $1 0
    ${Do}
        FindWindow $0 "${WINDOW_CLASS}"
        ${If} $0 == 0
            ${Break}
        ${EndIf}
        ${If} $1 == 0
            DetailPrint "Closing the running ${PRODUCT}"
            SendMessage $0 ${WM_CLOSE} 0 0 $2 /TIMEOUT=5000
        ${EndIf}
        Sleep 200
        IntOp $1 $1 + 1
    ${LoopUntil} $1 >= 50
FunctionEnd
!macroend
!insertmacro CloseRunningProgram ""
!insertmacro CloseRunningProgram "un."

Section "${PRODUCT}" SectionProgram
    SectionIn RO
    SetShellVarContext all
    Call CloseRunningProgram
    SetOutPath "$INSTDIR"
    File "${STAGE}\sentrybell.exe"
    SetOutPath "$INSTDIR\doc"
    File "${STAGE}\doc\*.html"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\sentrybell.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\sentrybell.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; The program's reports go to the Application log under this source. Its message table (one
    ; message per event ID, the report's line itself) lets Event Viewer show the line without the
    ; "description cannot be found" preamble. Errors, warnings and information.
    WriteRegExpandStr HKLM "${EVENT_SOURCE_KEY}" "EventMessageFile" "$INSTDIR\sentrybell.exe"
    WriteRegDWORD HKLM "${EVENT_SOURCE_KEY}" "TypesSupported" 7
SectionEnd

; Off unless chosen: a watchdog that starts on its own is the operator's decision.
Section /o "ログオン時に起動 (Start at logon)" SectionLogon
    InitPluginsDir
    ; The task, in the Task Scheduler's XML: at any logon of a member of the Administrators group,
    ; elevated, in that user's session (the tray icon and the window need it), never stopped after a
    ; time limit (the default would end the watchdog after 72 hours), at normal priority, one copy.
    ${WordReplace} "$INSTDIR" "&" "&amp;" "+" $R0
    FileOpen $0 "$PLUGINSDIR\task.xml" w
    FileWriteUTF16LE /BOM $0 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n'
    FileWriteUTF16LE $0 '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n'
    FileWriteUTF16LE $0 '  <RegistrationInfo><Description>${PRODUCT}: watches the web server from logon on.</Description></RegistrationInfo>$\r$\n'
    FileWriteUTF16LE $0 '  <Triggers><LogonTrigger><Enabled>true</Enabled></LogonTrigger></Triggers>$\r$\n'
    FileWriteUTF16LE $0 '  <Principals><Principal id="Administrators"><GroupId>S-1-5-32-544</GroupId><RunLevel>HighestAvailable</RunLevel></Principal></Principals>$\r$\n'
    FileWriteUTF16LE $0 '  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy><DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries><StopIfGoingOnBatteries>false</StopIfGoingOnBatteries><ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Priority>5</Priority></Settings>$\r$\n'
    FileWriteUTF16LE $0 '  <Actions Context="Administrators"><Exec><Command>"$R0\sentrybell.exe"</Command><WorkingDirectory>$R0</WorkingDirectory></Exec></Actions>$\r$\n'
    FileWriteUTF16LE $0 '</Task>$\r$\n'
    FileClose $0
    nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Create /F /TN "${TASK}" /XML "$PLUGINSDIR\task.xml"'
    Pop $0
    ${If} $0 != 0
        DetailPrint "schtasks could not create the task (exit code $0)"
        MessageBox MB_OK|MB_ICONEXCLAMATION "ログオン時の起動を登録できませんでした。" /SD IDOK
        SetErrorLevel 2
    ${EndIf}
SectionEnd

Function .onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/LOGON" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SectionLogon}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    Call un.CloseRunningProgram
    ; Absent when it was never chosen; that is no failure.
    nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /F /TN "${TASK}"'
    Pop $0
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\sentrybell.exe"
    Delete "$INSTDIR\doc\*.html"
    RMDir "$INSTDIR\doc"
    Delete "$INSTDIR\uninstall.exe"
    ; Stays while the operator's SETTING.ini, a log or a page copy is in it.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; The events already written stay in the log; without the source Event Viewer shows their text
    ; behind its preamble.
    DeleteRegKey HKLM "${EVENT_SOURCE_KEY}"
SectionEnd
