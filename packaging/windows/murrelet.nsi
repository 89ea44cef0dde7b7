; The Windows installer. packaging/windows/CMakeLists.txt runs makensis with
; VERSION, EXE (the program), ICON and OUTFILE defined.
Unicode true
Target amd64-unicode
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define APP "Murrelet"
!define PUBLISHER "Quillon SoftWare"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Murrelet"
!define UNINSTALLER "Uninstall.exe"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
; An installed copy's folder is the default, so that a new version replaces it.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used when the system's is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString Running ${LANG_ENGLISH} "Murrelet is running. Close Murrelet, then run this program again."
LangString Running ${LANG_JAPANESE} "Murrelet が起動しています。Murrelet を終了してから、もう一度実行してください。"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
!macro VERSION_KEYS LANG DESCRIPTION
  VIAddVersionKey /LANG=${LANG} "ProductName" "${APP}"
  VIAddVersionKey /LANG=${LANG} "CompanyName" "${PUBLISHER}"
  VIAddVersionKey /LANG=${LANG} "FileDescription" "${DESCRIPTION}"
  VIAddVersionKey /LANG=${LANG} "FileVersion" "${VERSION}.0"
  VIAddVersionKey /LANG=${LANG} "ProductVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANG} "LegalCopyright" "${PUBLISHER}"
!macroend
!insertmacro VERSION_KEYS ${LANG_ENGLISH} "${APP} Setup"
!insertmacro VERSION_KEYS ${LANG_JAPANESE} "${APP} セットアップ"

; A running copy holds the named mutex "EX_GANNET" and its exe cannot be
; replaced or deleted: say so and stop before touching anything.
!macro REFUSE_WHILE_RUNNING
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "EX_GANNET") p .r0'
  ${If} $0 != 0
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_OK|MB_ICONSTOP "$(Running)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
!macroend

Function .onInit
  SetRegView 64
  !insertmacro REFUSE_WHILE_RUNNING
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro REFUSE_WHILE_RUNNING
FunctionEnd

Section "Murrelet"
  !insertmacro REFUSE_WHILE_RUNNING
  SetShellVarContext all

  ; A copy installed in another folder is removed by its own uninstaller, so
  ; that one Uninstall entry and one shortcut remain.
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $1 != ""
  ${AndIf} $1 != $INSTDIR
  ${AndIf} ${FileExists} "$1\${UNINSTALLER}"
    ExecWait '"$1\${UNINSTALLER}" /S _?=$1'
    Delete "$1\${UNINSTALLER}"
    RMDir "$1"
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=murrelet.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\murrelet.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\murrelet.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put in place and nothing else: the user's
; settings under HKEY_CURRENT_USER\Software\Quillon SoftWare stay. The one
; thing the program itself adds outside them goes too: the log-in entry that
; "ログイン時に起動する。" writes, which would name a program no longer there.
Section "Uninstall"
  SetShellVarContext all
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Murrelet"
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$INSTDIR\murrelet.exe"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
