; The Windows setup program: tarvik.exe, tarvik-admin.exe and libmariadb.dll in one folder
; under Program Files, a Start-menu entry, and an uninstaller registered with Windows.
;
; The settings files (sistema_qor.ini, connection.conf) beside the programs are the
; administrator's: this setup program never writes, replaces or removes them, and the
; uninstaller removes only the files it installed, so the folder stays while they are in it.
;
; makensis -DVERSION=1.0.0 -DPROGRAM_DIR=<folder with the three files> -DICON=<tarvik.ico>
;          -DOUTFILE=<setup program> tarvik.nsi
; Both run silently with /S.

; A 64-bit setup program for 64-bit programs (and one that Wine's 64-bit loader runs).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define NAME "Tarvik"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvik"
!define START_MENU_ENTRY "$SMPROGRAMS\Tarvik.lnk"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tarvik"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${NAME} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!include "MUI2.nsh"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${NAME} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${NAME}"

Function .onInit
  ; The 64-bit Program Files and the 64-bit view of the registry.
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Tarvik"
  SetOutPath "$INSTDIR"
  File "${PROGRAM_DIR}\tarvik.exe"
  File "${PROGRAM_DIR}\tarvik-admin.exe"
  File "${PROGRAM_DIR}\libmariadb.dll"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The program leaves "iphist.dat" in the folder it is started in. Program Files is not
  ; writable for users, so the entry starts it in the public documents folder, which is.
  SetOutPath "$DOCUMENTS"
  CreateShortCut "${START_MENU_ENTRY}" "$INSTDIR\tarvik.exe" "" "$INSTDIR\tarvik.exe" 0
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvik.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; Only what the setup program installed, by name; never the folder's other files.
  Delete "$INSTDIR\tarvik.exe"
  Delete "$INSTDIR\tarvik-admin.exe"
  Delete "$INSTDIR\libmariadb.dll"
  Delete "$INSTDIR\uninstall.exe"
  Delete "${START_MENU_ENTRY}"
  ; Removed only when empty: with the administrator's settings in it, the folder stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
