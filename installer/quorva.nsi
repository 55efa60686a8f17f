; Setup for the register: one program for both kinds of Windows. It installs
; the 64-bit register where Windows runs 64-bit programs and the 32-bit one
; elsewhere. It never deletes or overwrites the clerk's data: the database
; folder, the settings folder and the pick-list files are left as they are.
;
; build.sh defines VERSION, PUBLISHER, WIN32_BIN, WIN64_BIN, TEMPLATE, ICON
; and OUTFILE.

Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include x64.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "收文登记"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorva"
; The register's main window class; a window of it means the register runs.
!define MAIN_WINDOW_CLASS "TmainForm"
; Where the register looks for its approval-form template by default: this
; name in its default database folder.
!define TEMPLATE_NAME "呈批表制作说明.doc"
!define SHORTCUT_NAME "${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Left empty so that .onInit can tell whether /D= chose the folder.
InstallDir ""
BrandingText "Marivel ${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

Var DataNote

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quorva.exe"
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "将从计算机中卸载$(^Name)程序。$\r$\n$DataNote"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(^Name)程序已卸载。$\r$\n$\r$\n$DataNote"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Marivel ${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "© 2026 ${PUBLISHER}"

; Replacing or removing the program under a running register would fail
; half-way, so the user closes it first. Silent runs give up with exit code 2.
!macro DEFINE_CLOSE_CHECK prefix
Function ${prefix}AskToCloseRegister
  retry:
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    StrCmp $0 0 done
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(^Name)正在运行。$\r$\n请先关闭$(^Name)，然后点击“重试”。" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
  done:
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_CHECK ""
!insertmacro DEFINE_CLOSE_CHECK "un."

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ; An upgrade goes where the installed register is, unless /D= says otherwise.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\Quorva"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\Quorva"
    ${EndIf}
  ${EndIf}
  Call AskToCloseRegister
FunctionEnd

; The register's own choice of its default database folder: the first of
; D:\Quorva and C:\Quorva that exists or can be made, otherwise E:\Quorva.
!macro TRY_DATA_FOLDER folder
  ${If} $1 == ""
    CreateDirectory "${folder}"
    ${If} ${FileExists} "${folder}\*"
      StrCpy $1 "${folder}"
    ${EndIf}
  ${EndIf}
!macroend

; The sample template goes where the register looks by default, only when no
; template is there yet: a template the office has made stays.
Function PlaceSampleTemplate
  StrCpy $1 ""
  !insertmacro TRY_DATA_FOLDER "D:\Quorva"
  !insertmacro TRY_DATA_FOLDER "C:\Quorva"
  !insertmacro TRY_DATA_FOLDER "E:\Quorva"
  ${If} $1 != ""
  ${AndIfNot} ${FileExists} "$1\${TEMPLATE_NAME}"
    CopyFiles /SILENT "$INSTDIR\${TEMPLATE_NAME}" "$1"
    DetailPrint "呈批表模板：$1\${TEMPLATE_NAME}"
  ${EndIf}
FunctionEnd

Function RegisterUninstaller
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Marivel ${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorva.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $2 $3
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
FunctionEnd

Section "-Register"
  ; The register may have been started while the pages were shown.
  Call AskToCloseRegister
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "${WIN64_BIN}/Quorva.exe"
    File "${WIN64_BIN}/sqlite3.dll"
  ${Else}
    File "${WIN32_BIN}/Quorva.exe"
    File "${WIN32_BIN}/sqlite3.dll"
  ${EndIf}
  File "/oname=${TEMPLATE_NAME}" "${TEMPLATE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\${SHORTCUT_NAME}" "$INSTDIR\Quorva.exe" "" "$INSTDIR\Quorva.exe" 0
  CreateShortcut "$DESKTOP\${SHORTCUT_NAME}" "$INSTDIR\Quorva.exe" "" "$INSTDIR\Quorva.exe" 0

  Call PlaceSampleTemplate
  Call RegisterUninstaller
SectionEnd

; Names the data the uninstaller keeps: the database folder from the user's
; settings, or the default one that exists.
Function un.DescribeKeptData
  SetShellVarContext current
  ReadINIStr $1 "$APPDATA\ovd\quorva.ini" "Option" "Path"
  ${If} $1 == ""
    ${If} ${FileExists} "D:\Quorva\*"
      StrCpy $1 "D:\Quorva"
    ${ElseIf} ${FileExists} "C:\Quorva\*"
      StrCpy $1 "C:\Quorva"
    ${Else}
      StrCpy $1 "E:\Quorva"
    ${EndIf}
  ${EndIf}
  StrCpy $DataNote "数据不会被删除：数据库文件夹“$1”、设置文件夹“$APPDATA\ovd”（含名单文件）和呈批表模板均保留。"
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  Call un.AskToCloseRegister
  Call un.DescribeKeptData
FunctionEnd

; Only what setup put there is removed; the folder goes only when empty.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${SHORTCUT_NAME}"
  Delete "$DESKTOP\${SHORTCUT_NAME}"
  Delete "$INSTDIR\Quorva.exe"
  Delete "$INSTDIR\sqlite3.dll"
  Delete "$INSTDIR\${TEMPLATE_NAME}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DetailPrint "$DataNote"
SectionEnd
