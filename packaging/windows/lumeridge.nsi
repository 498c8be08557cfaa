; LumeridgeSetup.exe: puts Lumeridge.scr into the 64-bit System32, registers
; an uninstaller under Programs and Features and, when chosen (and by default
; in silent mode, /S), makes Lumeridge the current user's screensaver.
;
; Built by packaging/windows/CMakeLists.txt, which passes:
;   VERSION, COMPANY, COPYRIGHT  product version and texts
;   SCR                          the Lumeridge.scr to install
;   ICON                         the icon of the installer and uninstaller
;   OUTFILE                      where the installer is written
;   COMPRESSOR                   lzma for a release (the default); zlib
;                                makes the same installer in a tenth of the
;                                time, a third larger, for test builds
;
; The installer is a 64-bit program (Target amd64-unicode): $SYSDIR is the
; real System32 and the registry is the 64-bit view, with no redirection.
;
; Exit codes: 0 installed (or uninstalled), 1 cancelled by the user,
; 2 stopped by this script (for example: the saver is running), nothing changed.

Unicode true
Target amd64-unicode
!ifndef COMPRESSOR
  !define COMPRESSOR lzma
!endif
SetCompressor /SOLID ${COMPRESSOR}
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Lumeridge"
!define SCR_NAME "Lumeridge.scr"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumeridge"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SITE "https://lumeridge.example/"
!define MOVEFILE_REPLACE_EXISTING 1
!define MOVEFILE_WRITE_THROUGH 8
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
; Holds only the uninstaller: the screensaver itself lives in System32.
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, a rain-on-water screensaver, \
into the Windows system folder so that it appears in the screensaver settings.$\r$\n$\r$\n\
An installed ${PRODUCT} is upgraded in place. Administrator rights are needed."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Pick it, or change its waiting time, \
in the screensaver settings; Programs and Features removes it again."
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "${PRODUCT} screensaver" SecSaver
  SectionIn RO
  ; The new file goes beside the old one under another name, then replaces
  ; it in one step. A running saver keeps its file open, the replacement
  ; fails, and the old install stays as it was.
  SetOutPath "$SYSDIR"
  ClearErrors
  File "/oname=${SCR_NAME}.new" "${SCR}"
  ${If} ${Errors}
    Delete "$SYSDIR\${SCR_NAME}.new"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} could not be written to $SYSDIR. \
Nothing was changed." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  ${Do}
    System::Call 'kernel32::MoveFileExW(w "$SYSDIR\${SCR_NAME}.new", w "$SYSDIR\${SCR_NAME}", \
i ${MOVEFILE_REPLACE_EXISTING}|${MOVEFILE_WRITE_THROUGH}) i .r0'
    ${If} $0 <> 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running, so its file \
$SYSDIR\${SCR_NAME} cannot be replaced.$\r$\n$\r$\nEnd the screensaver (press a key) and \
choose Retry, or Cancel to keep the installed version as it is." /SD IDCANCEL IDRETRY retry
    Delete "$SYSDIR\${SCR_NAME}.new"
    SetErrorLevel 2
    Abort
    retry:
  ${Loop}

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${GetSize} "$SYSDIR" "/M=${SCR_NAME} /S=0K /G=0" $1 $2 $3
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $2 $3 $4
  IntOp $1 $1 + $2
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${SCR_NAME},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${SITE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Make ${PRODUCT} my screensaver" SecCurrent
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
  ; Windows writes ScreenSaveActive itself, in the form its version reads,
  ; and tells the running programs.
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, \
i ${SPIF_UPDATEINIFILE_SENDCHANGE}) i .r0'
SectionEnd

Section "Uninstall"
  ; The screensaver file goes first: while the saver runs it cannot, and
  ; then nothing else is touched either.
  GetFullPathName /SHORT $5 "$SYSDIR\${SCR_NAME}"
  ${Do}
    ClearErrors
    Delete "$SYSDIR\${SCR_NAME}"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running, so its file \
$SYSDIR\${SCR_NAME} cannot be removed.$\r$\n$\r$\nEnd the screensaver (press a key) and \
choose Retry, or Cancel to keep it installed." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort
    retry:
  ${Loop}
  Delete "$SYSDIR\${SCR_NAME}.new"

  ; The current user's screensaver setting only while it still names this
  ; file (the settings dialog may have stored its short name).
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$SYSDIR\${SCR_NAME}"
  ${OrIf} $0 == $5
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
