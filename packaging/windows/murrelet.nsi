; The Windows installer. packaging/windows/CMakeLists.txt runs makensis with
; VERSION, EXE (the program), LAUNCHER (Uninstall.exe, which runs this script's
; uninstaller and waits for it: uninstall_launcher.cpp), ICON, LICENSE (the
; MIT licence's text), NAMES (the generated names.nsh: PUBLISHER and MUTEX,
; taken from the program's sources) and OUTFILE defined.
Unicode true
Target amd64-unicode
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define APP "Murrelet"
!include "${NAMES}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Murrelet"
!define UNINSTALLER "Uninstall.exe"
; NSIS's uninstaller itself, which Uninstall.exe runs from a copy.
!define UNINSTALL_DATA "Uninstall.dat"
; The log-in entry the program writes when "ログイン時に起動する。" is ticked
; (platform/win32/run_key_session_start.h): the user's Run value "Murrelet".
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Murrelet"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
; An installed copy's folder is the default, so that a new version replaces it.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The license page and the pages with the longest button captions
; ("同意する(A)", "インストール(I)", "アンインストール(U)") widen their buttons
; first (see FIT_BUTTONS).
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FitButtons
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FitButtons
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.FitButtons
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
  VIAddVersionKey /LANG=${LANG} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT licence"
!macroend
!insertmacro VERSION_KEYS ${LANG_ENGLISH} "${APP} Setup"
!insertmacro VERSION_KEYS ${LANG_JAPANESE} "${APP} セットアップ"

; A running copy holds the named mutex ${MUTEX} and its exe cannot be
; replaced or deleted: say so and stop before touching anything.
!macro REFUSE_WHILE_RUNNING
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${MUTEX}") p .r0'
  ${If} $0 != 0
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_OK|MB_ICONSTOP "$(Running)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
!macroend

; The wizard's buttons are sized for the face its language asks for; where
; that face is missing (the Japanese "ＭＳ Ｐゴシック" on an English Windows or
; Wine) a wider stand-in cuts the captions. Each of Back, Next and Cancel is
; measured in its own font and widened to the left as far as its caption
; needs, the buttons left of it moving along.
!macro FIT_BUTTONS
  StrCpy $R9 0  ; how far the buttons met so far moved left
  !insertmacro FIT_BUTTON 2
  !insertmacro FIT_BUTTON 1
  !insertmacro FIT_BUTTON 3
!macroend
!macro FIT_BUTTON ID
  GetDlgItem $R0 $HWNDPARENT ${ID}
  System::Call 'user32::GetWindowTextW(p R0, w .R1, i ${NSIS_MAX_STRLEN})'
  ${WordReplace} $R1 "&" "" "+" $R1
  StrLen $R2 $R1
  SendMessage $R0 ${WM_GETFONT} 0 0 $R3
  System::Call 'user32::GetDC(p R0) p .R4'
  System::Call 'gdi32::SelectObject(p R4, p R3) p .R5'
  System::Call '*(i 0, i 0) p .R6'
  System::Call 'gdi32::GetTextExtentPoint32W(p R4, w R1, i R2, p R6)'
  System::Call '*$R6(i .R7, i)'
  System::Free $R6
  System::Call 'gdi32::SelectObject(p R4, p R5)'
  System::Call 'user32::ReleaseDC(p R0, p R4)'
  System::Call '*(i 0, i 0, i 0, i 0) p .R6'
  System::Call 'user32::GetWindowRect(p R0, p R6)'
  System::Call 'user32::MapWindowPoints(p 0, p $HWNDPARENT, p R6, i 2)'
  System::Call '*$R6(i .R1, i .R2, i .R3, i .R4)'
  System::Free $R6
  ; Room for the caption: the button less its edges and a margin as wide as
  ; a third of its height on each side.
  IntOp $R5 $R4 - $R2
  IntOp $R6 $R5 * 2
  IntOp $R6 $R6 / 3
  IntOp $R7 $R7 + $R6
  IntOp $R8 $R3 - $R1
  IntOp $R3 $R3 - $R9
  ${If} $R7 > $R8
    IntOp $R9 $R9 + $R7
    IntOp $R9 $R9 - $R8
    StrCpy $R8 $R7
  ${EndIf}
  IntOp $R1 $R3 - $R8
  System::Call 'user32::SetWindowPos(p R0, p 0, i R1, i R2, i R8, i R5, i 0x14)'
!macroend
Function FitButtons
  !insertmacro FIT_BUTTONS
FunctionEnd
Function un.FitButtons
  !insertmacro FIT_BUTTONS
  ; The confirm page's label before the folder ("アンインストール元:"):
  ; as wide as its text, the folder's box starting that much later.
  FindWindow $R0 "#32770" "" $HWNDPARENT
  GetDlgItem $R1 $R0 1029
  GetDlgItem $R2 $R0 1000
  System::Call 'user32::GetWindowTextW(p R1, w .R3, i ${NSIS_MAX_STRLEN})'
  StrLen $R4 $R3
  SendMessage $R1 ${WM_GETFONT} 0 0 $R5
  System::Call 'user32::GetDC(p R1) p .R6'
  System::Call 'gdi32::SelectObject(p R6, p R5) p .R7'
  System::Call '*(i 0, i 0) p .R8'
  System::Call 'gdi32::GetTextExtentPoint32W(p R6, w R3, i R4, p R8)'
  System::Call '*$R8(i .R9, i)'
  System::Free $R8
  System::Call 'gdi32::SelectObject(p R6, p R7)'
  System::Call 'user32::ReleaseDC(p R1, p R6)'
  System::Call '*(i 0, i 0, i 0, i 0) p .R8'
  System::Call 'user32::GetWindowRect(p R1, p R8)'
  System::Call 'user32::MapWindowPoints(p 0, p R0, p R8, i 2)'
  System::Call '*$R8(i .R3, i .R4, i .R5, i .R6)'
  System::Call 'user32::GetWindowRect(p R2, p R8)'
  System::Call 'user32::MapWindowPoints(p 0, p R0, p R8, i 2)'
  System::Call '*$R8(i .R7, i, i, i)'
  System::Free $R8
  IntOp $R9 $R9 + 2
  IntOp $R7 $R7 - $R5  ; the gap between label and box
  IntOp $R8 $R5 - $R3  ; the label's width
  ${If} $R9 > $R8
    IntOp $R5 $R6 - $R4
    System::Call 'user32::SetWindowPos(p R1, p 0, i 0, i 0, i R9, i R5, i 0x16)'
    IntOp $R3 $R3 + $R9
    IntOp $R3 $R3 + $R7
    System::Call '*(i 0, i 0, i 0, i 0) p .R8'
    System::Call 'user32::GetWindowRect(p R2, p R8)'
    System::Call 'user32::MapWindowPoints(p 0, p R0, p R8, i 2)'
    System::Call '*$R8(i, i .R4, i .R5, i .R6)'
    System::Free $R8
    IntOp $R5 $R5 - $R3
    IntOp $R6 $R6 - $R4
    System::Call 'user32::SetWindowPos(p R2, p 0, i R3, i R4, i R5, i R6, i 0x14)'
  ${EndIf}
FunctionEnd

Function .onInit
  SetRegView 64
  !insertmacro REFUSE_WHILE_RUNNING
FunctionEnd

; The folder on the stack as Windows names it, for comparing two folders:
; the full path (forward slashes and "." resolved), the long names of one
; that exists, no trailing backslash but a drive's own. The comparison itself
; (LogicLib's ==) ignores case, as Windows does.
Function NormalFolder
  Exch $0
  Push $1
  System::Call 'kernel32::GetFullPathNameW(w r0, i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r2'
  ${If} $2 > 0
    StrCpy $0 $1
  ${EndIf}
  System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r2'
  ${If} $2 > 0
    StrCpy $0 $1
  ${EndIf}
  ${Do}
    StrCpy $1 $0 1 -1
    StrLen $2 $0
    ${If} $1 != "\"
    ${OrIf} $2 <= 3
      ${ExitDo}
    ${EndIf}
    StrCpy $0 $0 -1
  ${Loop}
  Pop $1
  Exch $0
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro REFUSE_WHILE_RUNNING
FunctionEnd

Section "Murrelet"
  !insertmacro REFUSE_WHILE_RUNNING
  SetShellVarContext all

  ; A copy installed in another folder is removed by its own uninstaller, so
  ; that one Uninstall entry and one shortcut remain. "C:\Apps\murrelet\" is
  ; the folder "C:\Apps\Murrelet", as for Windows.
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  Push $1
  Call NormalFolder
  Pop $3
  Push $INSTDIR
  Call NormalFolder
  Pop $4
  ${If} $1 != ""
  ${AndIf} $3 != $4
  ${AndIf} ${FileExists} "$1\${UNINSTALLER}"
    ; That uninstaller removes the user's log-in entry, which named the old
    ; folder's program; a user who had it keeps it, naming the new one.
    ClearErrors
    ReadRegStr $5 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} ${Errors}
      StrCpy $5 ""
    ${EndIf}
    ExecWait '"$1\${UNINSTALLER}" /S _?=$1'
    Delete "$1\${UNINSTALLER}"
    RMDir "$1"
    ${If} $5 != ""
      WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\murrelet.exe" --session-start'
    ${EndIf}
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=murrelet.exe" "${EXE}"
  File "/oname=${UNINSTALLER}" "${LAUNCHER}"
  WriteUninstaller "$INSTDIR\${UNINSTALL_DATA}"
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
; settings under HKEY_CURRENT_USER\Software\${PUBLISHER} stay. The one
; thing the program itself adds outside them goes too: the log-in entry that
; "ログイン時に起動する。" writes, which would name a program no longer there.
Section "Uninstall"
  SetShellVarContext all
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$INSTDIR\murrelet.exe"
  Delete "$INSTDIR\${UNINSTALL_DATA}"
  ; Uninstall.exe runs, waiting for this uninstaller, and a running program's
  ; file cannot be deleted but can be moved: moved into the temporary folder,
  ; it goes at the next restart. Where that folder is on another drive, it is
  ; deleted in place at the next restart, and the folder with it.
  GetTempFileName $0
  Delete $0
  Rename "$INSTDIR\${UNINSTALLER}" $0
  ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
  ${Else}
    Delete /REBOOTOK $0
  ${EndIf}
  RMDir /REBOOTOK "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; This uninstaller itself runs from a copy in the temporary folder, which
  ; the Uninstall.exe that waits for it deletes.
SectionEnd
