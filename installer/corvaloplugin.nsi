; The per-user installer of CorvaloPlugin. It needs no administrator rights:
; everything goes into the user's own programs folder, Start menu and
; registry hive. Built by the "installer" target of the windows preset:
;   makensis -DVERSION=2.06 -DFILEVERSION=2.0.6.0 -DBINARIES=<build dir>
;            -DRESOURCES=<resources> -DOUTFILE=<setup.exe> installer/corvaloplugin.nsi
;
; Silent use: "setup.exe /S" installs with the defaults (start with Windows
; on; "/NOAUTOSTART" leaves it off) and starts the program again if it
; stopped a running copy ("/NORUN" leaves it stopped); "Uninstall.exe /S"
; removes the program and keeps the settings files and the log;
; "/REMOVESETTINGS" removes them too.

Unicode true
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"
!include "MUI2.nsh"

!ifndef VERSION | FILEVERSION
  !error "VERSION (2.06) and FILEVERSION (2.0.6.0) must be defined"
!endif
!define PRODUCT "CorvaloPlugin"
!define PUBLISHER "The CorvaloPlugin developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's Call Status window and its Exit command.
!define MAIN_CLASS "#32770"
!define MAIN_TITLE "${PRODUCT} - Call Status"
!define EXIT_COMMAND 32774

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; The manifest asks for no elevation, so Windows' installer detection (which
; elevates programs named like "setup") leaves the installer alone.
RequestExecutionLevel user
ManifestSupportedOS all
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
!define MUI_ICON "${RESOURCES}\icons\app.ico"
!define MUI_UNICON "${RESOURCES}\icons\app.ico"
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${FILEVERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

; Set when the installer stopped a running copy, so that a silent install
; can start it again.
Var StoppedCopy
; Set by "/NORUN": a silent install starts nothing.
Var NoRun

!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckInstallDir
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running copy to exit through its own Exit command, so it unhooks
; the softphone, silences the phone and closes its log as on any exit, and
; waits up to 15 s for its process to end: only then are its files and its
; single-instance mutex free for the new program. Where the process cannot
; be opened, the wait is for its window to go.
!define SYNCHRONIZE 0x00100000
!macro StopRunningCopy un
Function ${un}StopRunningCopy
  FindWindow $0 "${MAIN_CLASS}" "${MAIN_TITLE}"
  ${If} $0 = 0
    Return
  ${EndIf}
  DetailPrint "Stopping the running ${PRODUCT}"
  StrCpy $StoppedCopy 1
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
  System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r2) p .r3'
  SendMessage $0 ${WM_COMMAND} ${EXIT_COMMAND} 0 /TIMEOUT=5000
  ${If} $3 <> 0
    System::Call 'kernel32::WaitForSingleObject(p r3, i 15000) i .r4'
    System::Call 'kernel32::CloseHandle(p r3)'
  ${Else}
    ${For} $1 1 60
      Sleep 250
      FindWindow $0 "${MAIN_CLASS}" "${MAIN_TITLE}"
      ${IfThen} $0 = 0 ${|} ${Break} ${|}
    ${Next}
  ${EndIf}
  ; The hook library may stay mapped in the softphone for a moment after
  ; the program has unhooked it.
  Sleep 500
FunctionEnd
!macroend
!insertmacro StopRunningCopy ""
!insertmacro StopRunningCopy "un."

; The log and the settings files live beside the program, so the folder
; must be one the user can write to: an existing folder is tried with a
; file of its own, a new one in its nearest existing parent.
Function CheckInstallDir
  StrCpy $0 "$INSTDIR"
  ${DoUntil} ${FileExists} "$0\*.*"
    ${GetParent} "$0" $1
    ${If} $1 == ""
    ${OrIf} $1 == $0
      ${Break}
    ${EndIf}
    StrCpy $0 $1
  ${Loop}
  ClearErrors
  FileOpen $1 "$0\~${PRODUCT}-write-test.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONEXCLAMATION "You cannot write to $INSTDIR.$\r$\n$\r$\n\
      ${PRODUCT} keeps its settings and its log beside the program, so it must be \
      installed in a folder of your own, such as $LOCALAPPDATA\Programs\${PRODUCT}."
    Abort
  ${EndIf}
  FileClose $1
  Delete "$0\~${PRODUCT}-write-test.tmp"
FunctionEnd

; A running image cannot be overwritten (the softphone may keep the hook
; library mapped, a copy that did not stop keeps the program), but it can
; be renamed out of the way; the old copy goes at uninstall. A file that
; can be neither deleted nor renamed ends the installation with a message
; and exit code 2 rather than leaving the old file in place.
!macro MoveAside FILE
  ${If} ${FileExists} "$INSTDIR\${FILE}"
    ClearErrors
    Delete "$INSTDIR\${FILE}"
    ${If} ${Errors}
      Delete "$INSTDIR\${FILE}.old"
      ClearErrors
      Rename "$INSTDIR\${FILE}" "$INSTDIR\${FILE}.old"
      ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\${FILE} is in use and cannot be replaced.$\r$\n\
          Exit ${PRODUCT} and run setup again." /SD IDOK
        SetErrorLevel 2
        Abort
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

; Starts the installed program from its folder, unless a copy still runs
; (one that did not stop would refuse a second instance with a message).
Function StartProgram
  FindWindow $0 "${MAIN_CLASS}" "${MAIN_TITLE}"
  ${If} $0 = 0
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\CorvaloPlugin.exe"'
  ${EndIf}
FunctionEnd

Section "${PRODUCT} (required)" SecProgram
  SectionIn RO
  Call StopRunningCopy
  SetOutPath "$INSTDIR"
  !insertmacro MoveAside CorvaloPlugin.exe
  !insertmacro MoveAside phonehook.dll
  File "${BINARIES}\CorvaloPlugin.exe"
  File "${BINARIES}\phonehook.dll"
  File "${BINARIES}\help.html"
  SetOutPath "$INSTDIR\help"
  File "${BINARIES}\help\*.png"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\CorvaloPlugin.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk" "$INSTDIR\help.html"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\CorvaloPlugin.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  ; Set again by the next section when chosen: an install without it turns
  ; the start with Windows off.
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
SectionEnd

Section "Start ${PRODUCT} with Windows" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\CorvaloPlugin.exe"'
SectionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOAUTOSTART" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecAutostart}
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/NORUN" $1
  ${IfNot} ${Errors}
    StrCpy $NoRun 1
  ${EndIf}
FunctionEnd

; The finish page asks whether to start the program; a silent install
; restores what it found: a copy it stopped runs again.
Function .onInstSuccess
  ${If} ${Silent}
  ${AndIf} $StoppedCopy == 1
  ${AndIf} $NoRun != 1
    Call StartProgram
  ${EndIf}
FunctionEnd

Section "un.${PRODUCT}" SecUnProgram
  SectionIn RO
  Call un.StopRunningCopy
  Delete "$INSTDIR\CorvaloPlugin.exe"
  Delete /REBOOTOK "$INSTDIR\CorvaloPlugin.exe.old"
  Delete "$INSTDIR\phonehook.dll"
  Delete /REBOOTOK "$INSTDIR\phonehook.dll.old"
  Delete "$INSTDIR\help.html"
  RMDir /r "$INSTDIR\help"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Only empties the folder's removal: the settings files and the log stay
  ; unless the next section removes them.
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.Settings files and event log" SecUnSettings
  Delete "$INSTDIR\${PRODUCT}$$*.ini"
  Delete "$INSTDIR\${PRODUCT}$$Logfile.log"
  RMDir "$INSTDIR"
SectionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnSettings}
  ${EndIf}
FunctionEnd
