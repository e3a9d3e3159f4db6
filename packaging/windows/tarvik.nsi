; The Windows setup program: tarvik.exe, tarvik-admin.exe and libmariadb.dll in one folder
; under Program Files, a Start-menu entry, and an uninstaller registered with Windows.
;
; The settings files (sistema_qor.ini, connection.conf) beside the programs are the
; administrator's: this setup program never writes, replaces or removes them, and the
; uninstaller removes only the files it installed, so the folder stays while they are in it.
;
; Deployment tools trust the exit code, so neither the setup program nor the uninstaller ever
; reports a half-done job as done:
;   0  installed (or removed)
;   1  cancelled by the user
;   3  a Tarvik program is running from the install folder; nothing was changed
;   4  a file could not be written or removed; the job is incomplete (run it again)
;   5  Tarvik is already installed elsewhere (another folder, or by its MSI package);
;      nothing was changed
; Run silently (/S), the reason goes to standard error when the caller gave one.
;
; makensis -DVERSION=1.0.0 -DPROGRAM_DIR=<folder with the three files> -DICON=<tarvik.ico>
;          -DOUTFILE=<setup program> tarvik.nsi
; Both run silently with /S; the uninstaller returns only when its work is done when it is
; given its folder: uninstall.exe /S _?=C:\Program Files\Tarvik (its registered silent command).

; A 64-bit setup program for 64-bit programs (and one that Wine's 64-bit loader runs).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define NAME "Tarvik"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvik"
!define START_MENU_ENTRY "$SMPROGRAMS\Tarvik.lnk"
; The MSI package's UpgradeCode (tarvik.wxs): the two must not share the folder.
!define MSI_UPGRADE_CODE "{F8D0671B-1791-401C-8FD3-9EE9F5ACFB18}"

!define EXIT_RUNNING 3
!define EXIT_INCOMPLETE 4
!define EXIT_INSTALLED_ELSEWHERE 5

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tarvik"
BrandingText "${NAME} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!include "MUI2.nsh"
!include "LogicLib.nsh"

; An installed copy is upgraded where it is: the folder is not asked for then.
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipDirectoryWhenInstalled
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

; The folder the registration names, when its uninstaller is still there; empty otherwise.
Var RegisteredDir

; Stops the job: the message in a box, or on standard error when silent, and the exit code.
!macro STOP CODE MESSAGE
  Push "${MESSAGE}"
  !ifdef __UNINSTALL__
    Call un.ReportError
  !else
    Call ReportError
  !endif
  SetErrorLevel ${CODE}
  Abort
!macroend

; For ProgramInUse: $0 = the file's path and a jump to in_use_done when it is in use. Windows
; refuses to open a running program's executable, or a DLL it has loaded, for writing with a
; sharing violation (and so does Wine); any other failure is not a running program, and is
; reported when the file is written.
!macro IN_USE NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${NAME}", i 0x40000000, i 7, p 0, i 3, i 0x80, p 0) p .r1 ?e'
    Pop $2
    ${If} $1 P<> -1
      System::Call 'kernel32::CloseHandle(p r1)'
    ${ElseIf} $2 = 32
      StrCpy $0 "$INSTDIR\${NAME}"
      Goto in_use_done
    ${EndIf}
  ${EndIf}
!macroend

; Shared by the setup program and the uninstaller (whose functions carry the "un." prefix).
!macro SHARED_FUNCTIONS UN PROGRAM_NAME
  Function ${UN}ReportError
    Exch $0
    Push $1
    ${If} ${Silent}
      System::Call 'kernel32::GetStdHandle(i -12) p .r1'
      ${If} $1 P<> 0
      ${AndIf} $1 P<> -1
        FileWrite $1 "${PROGRAM_NAME}: $0$\r$\n"
      ${EndIf}
    ${Else}
      MessageBox MB_OK|MB_ICONSTOP "$0"
    ${EndIf}
    Pop $1
    Pop $0
  FunctionEnd

  ; Leaves on the stack the first of the installed files that a running program holds, or ""
  ; when none.
  Function ${UN}ProgramInUse
    Push $0
    Push $1
    Push $2
    StrCpy $0 ""
    !insertmacro IN_USE tarvik.exe
    !insertmacro IN_USE tarvik-admin.exe
    !insertmacro IN_USE libmariadb.dll
    in_use_done:
    Pop $2
    Pop $1
    Exch $0
  FunctionEnd

  ; A running Tarvik is asked to be closed (interactive) or stops the job (silent) before a
  ; single file is touched, so that no mix of old and new files is left.
  Function ${UN}StopWhileRunning
    Push $0
    ${Do}
      Call ${UN}ProgramInUse
      Pop $0
      ${IfThen} $0 == "" ${|} ${Break} ${|}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tarvik is running ($0). Close it, then choose Retry." /SD IDCANCEL IDRETRY retry
      !insertmacro STOP ${EXIT_RUNNING} "Tarvik is running ($0); close it and run this again. Nothing was changed."
      retry:
    ${Loop}
    Pop $0
  FunctionEnd

  Function ${UN}FindRegisteredDir
    StrCpy $RegisteredDir ""
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
      StrCpy $RegisteredDir $0
    ${EndIf}
  FunctionEnd
!macroend

!insertmacro SHARED_FUNCTIONS "" "tarvik setup"
!insertmacro SHARED_FUNCTIONS "un." "tarvik uninstall"

Function .onInit
  ; The 64-bit Program Files and the 64-bit view of the registry.
  SetRegView 64
  SetShellVarContext all
  Call FindRegisteredDir
  ${If} $RegisteredDir != ""
  ${AndIf} $INSTDIR == "$PROGRAMFILES64\Tarvik"
    ; Only when no folder was given (/D= comes before .onInit): the registered copy.
    StrCpy $INSTDIR $RegisteredDir
  ${EndIf}
FunctionEnd

Function SkipDirectoryWhenInstalled
  ${IfThen} $RegisteredDir != "" ${|} Abort ${|}
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Tarvik" SectionProgram
  ; One copy per machine: a second folder would take over the registration and the
  ; Start-menu entry of the first.
  ${If} $RegisteredDir != ""
  ${AndIf} $RegisteredDir != $INSTDIR
    !insertmacro STOP ${EXIT_INSTALLED_ELSEWHERE} "Tarvik is already installed in $RegisteredDir. Install it there (it is upgraded in place) or uninstall it first. Nothing was changed."
  ${EndIf}
  ClearErrors
  System::Call 'msi::MsiEnumRelatedProductsW(w "${MSI_UPGRADE_CODE}", i 0, i 0, w .r0) i .r1'
  ${If} $1 == "0"
    !insertmacro STOP ${EXIT_INSTALLED_ELSEWHERE} "Tarvik is installed by its MSI package. Upgrade it with a newer MSI package, or uninstall it first. Nothing was changed."
  ${EndIf}
  Call StopWhileRunning

  SetOutPath "$INSTDIR"
  ; A file left as it was is an error: the old and the new versions must not be mixed up
  ; silently, nor a failed install registered as the new version.
  SetOverwrite on
  !macro INSTALL_FILE NAME
    ClearErrors
    File "${PROGRAM_DIR}\${NAME}"
    ${If} ${Errors}
      !insertmacro STOP ${EXIT_INCOMPLETE} "Could not write $INSTDIR\${NAME}; the install is incomplete. Run the setup program again."
    ${EndIf}
  !macroend
  !insertmacro INSTALL_FILE tarvik.exe
  !insertmacro INSTALL_FILE tarvik-admin.exe
  !insertmacro INSTALL_FILE libmariadb.dll
  ClearErrors
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    !insertmacro STOP ${EXIT_INCOMPLETE} "Could not write $INSTDIR\uninstall.exe; the install is incomplete. Run the setup program again."
  ${EndIf}

  ; The program leaves "iphist.dat" in the folder it is started in. Program Files is not
  ; writable for users, so the entry starts it in the public documents folder, which is.
  SetOutPath "$DOCUMENTS"
  ClearErrors
  CreateShortCut "${START_MENU_ENTRY}" "$INSTDIR\tarvik.exe" "" "$INSTDIR\tarvik.exe" 0
  ${If} ${Errors}
    !insertmacro STOP ${EXIT_INCOMPLETE} "Could not write ${START_MENU_ENTRY}; the install is incomplete. Run the setup program again."
  ${EndIf}
  SetOutPath "$INSTDIR"

  ClearErrors
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvik.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  ; Given its folder, the uninstaller works in place and returns when it is done (without it,
  ; it hands over to a copy of itself and returns at once).
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionProgram} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  ${If} ${Errors}
    !insertmacro STOP ${EXIT_INCOMPLETE} "Could not register Tarvik with Windows; the install is incomplete. Run the setup program again."
  ${EndIf}
SectionEnd

Section "Uninstall"
  Call un.StopWhileRunning
  Call un.FindRegisteredDir

  ; Only what the setup program installed, by name; never the folder's other files.
  StrCpy $1 ""
  !macro REMOVE_FILE PATH
    ClearErrors
    Delete "${PATH}"
    ${IfThen} ${Errors} ${|} StrCpy $1 "$1 ${PATH}" ${|}
  !macroend
  !insertmacro REMOVE_FILE "$INSTDIR\tarvik.exe"
  !insertmacro REMOVE_FILE "$INSTDIR\tarvik-admin.exe"
  !insertmacro REMOVE_FILE "$INSTDIR\libmariadb.dll"
  ${If} $1 != ""
    ; The registration stays, so that the uninstall can be run again.
    !insertmacro STOP ${EXIT_INCOMPLETE} "Could not remove$1; the uninstall is incomplete. Run it again."
  ${EndIf}

  ; The registration and the Start-menu entry are the registered folder's: an uninstaller left
  ; in another folder takes away only its own files.
  ${If} $RegisteredDir == $INSTDIR
    ClearErrors
    Delete "${START_MENU_ENTRY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${If} ${Errors}
      !insertmacro STOP ${EXIT_INCOMPLETE} "Could not remove the Start-menu entry or the registration; the uninstall is incomplete. Run it again."
    ${EndIf}
  ${EndIf}

  ; Run in place (given its folder), the uninstaller cannot delete its own file while it runs,
  ; and having Windows delete it at the next start would take away the uninstaller of an
  ; install made before then: it stays, harmless without its registration, and the next
  ; install replaces it. Run without the folder, it is a copy in the temporary folder and the
  ; file goes now.
  ClearErrors
  Delete "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
  ${AndIf} $EXEPATH != "$INSTDIR\uninstall.exe"
    !insertmacro STOP ${EXIT_INCOMPLETE} "Could not remove $INSTDIR\uninstall.exe; the uninstall is incomplete. Run it again."
  ${EndIf}
  ; Removed only when empty: with the administrator's settings in it, the folder stays.
  RMDir "$INSTDIR"
SectionEnd
