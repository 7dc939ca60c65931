; The per-user installer of CorvaloPlugin. It needs no administrator rights:
; everything goes into the user's own programs folder, Start menu and
; registry hive. Built by the "installer" target of the windows preset:
;   makensis -DVERSION=2.06 -DFILEVERSION=2.0.6.0 -DBINARIES=<build dir>
;            -DRESOURCES=<resources> -DOUTFILE=<setup.exe> installer/corvaloplugin.nsi
;
; Silent use: "setup.exe /S" installs with the defaults (start with Windows
; on; "/NOAUTOSTART" leaves it off); "Uninstall.exe /S" removes the program
; and keeps the settings files and the log; "/REMOVESETTINGS" removes them
; too.

Unicode true
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

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
Icon "${RESOURCES}\icons\app.ico"
UninstallIcon "${RESOURCES}\icons\app.ico"
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

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage components
UninstPage instfiles

; Asks a running copy to exit through its own Exit command, so it unhooks
; the softphone, silences the phone and closes its log as on any exit, and
; waits up to 15 s for its window to go.
!macro StopRunningCopy un
Function ${un}StopRunningCopy
  FindWindow $0 "${MAIN_CLASS}" "${MAIN_TITLE}"
  ${If} $0 = 0
    Return
  ${EndIf}
  DetailPrint "Stopping the running ${PRODUCT}"
  SendMessage $0 ${WM_COMMAND} ${EXIT_COMMAND} 0 /TIMEOUT=5000
  ${For} $1 1 60
    Sleep 250
    FindWindow $0 "${MAIN_CLASS}" "${MAIN_TITLE}"
    ${IfThen} $0 = 0 ${|} ${Break} ${|}
  ${Next}
  ; The hook library may stay mapped in the softphone for a moment after
  ; the program has unhooked it.
  Sleep 500
FunctionEnd
!macroend
!insertmacro StopRunningCopy ""
!insertmacro StopRunningCopy "un."

Section "${PRODUCT} (required)" SecProgram
  SectionIn RO
  Call StopRunningCopy
  SetOutPath "$INSTDIR"
  ; A hook library still mapped into the softphone cannot be overwritten,
  ; but it can be renamed out of the way; the old copy goes at uninstall.
  ${If} ${FileExists} "$INSTDIR\phonehook.dll"
    ClearErrors
    Delete "$INSTDIR\phonehook.dll"
    ${If} ${Errors}
      Delete "$INSTDIR\phonehook.dll.old"
      Rename "$INSTDIR\phonehook.dll" "$INSTDIR\phonehook.dll.old"
    ${EndIf}
  ${EndIf}
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
FunctionEnd

Section "un.${PRODUCT}" SecUnProgram
  SectionIn RO
  Call un.StopRunningCopy
  Delete "$INSTDIR\CorvaloPlugin.exe"
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
