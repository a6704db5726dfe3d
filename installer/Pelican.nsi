; The Pelican installer: per user, no administrator rights, into the user's
; local programs folder. Built by scripts/package, which passes
;   VERSION  the program's version (from Pelican.exe's version resource)
;   STAGE    the program folder to install
;   FILES    a generated list of the Delete/RMDir lines for the uninstaller
;   OUTFILE  the installer to write
;   ICON     the program's icon
;   UPDATE_ADDRESS  the publisher's update manifest, or empty
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Pelican"
!define PUBLISHER "The Pelican developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelican"
; Held by a running Pelican; its files cannot be replaced while it runs.
!define RUNNING_MUTEX "A29D7381-6AE0-40d1-B3AA-38A92B528888"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pelican"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Pelican.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Pelican"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks the user to close a running Pelican; a silent run gives up instead.
!macro WaitUntilClosed
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0'
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Pelican is running. Please close it, then press Retry." /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
!macroend

Function .onInit
  SetShellVarContext current
  !insertmacro WaitUntilClosed
FunctionEnd

Section "Pelican" SecMain
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  ; The updater that runs this installer cannot be replaced while it runs, but
  ; it can be renamed; it deletes the renamed copy at its next start.
  Delete "$INSTDIR\Caretaker.old"
  Delete "$INSTDIR\Caretaker.exe"
  ${If} ${FileExists} "$INSTDIR\Caretaker.exe"
    Rename "$INSTDIR\Caretaker.exe" "$INSTDIR\Caretaker.old"
  ${EndIf}
  ; config\Settings.ini and the history are the user's: they are never shipped,
  ; so installing over an older version keeps them.
  File /r "${STAGE}\*.*"
  CreateDirectory "$INSTDIR\config"
  ; The publisher's update address, unless the settings already name one.
  StrCmp "${UPDATE_ADDRESS}" "" address_done
  ReadINIStr $0 "$INSTDIR\config\Settings.ini" "Settings" "CheckupdateWeb"
  StrCmp $0 "" 0 address_done
  WriteINIStr "$INSTDIR\config\Settings.ini" "Settings" "CheckupdateWeb" "${UPDATE_ADDRESS}"
  address_done:
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Pelican.lnk" "$INSTDIR\Pelican.exe" "" "$INSTDIR\Pelican.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pelican.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  SetShellVarContext current
  !insertmacro WaitUntilClosed
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  ; What Pelican itself writes beside itself.
  Delete "$INSTDIR\config\Settings.ini"
  Delete "$INSTDIR\config\HistroyRecord.bin"
  Delete "$INSTDIR\Caretaker.old"
  ; Exactly what was installed, listed when the installer was built; folders last.
  !include "${FILES}"
  RMDir "$INSTDIR\config"
  Delete "$INSTDIR\Uninstall.exe"
  ; Never recursive: a file the user put here stays, and so does its folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Pelican.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The log lives in the common application-data folder (Pelican.exe.cfg, "File").
  SetShellVarContext all
  Delete "$APPDATA\Pelican\Pelican.log"
  RMDir "$APPDATA\Pelican"
SectionEnd
