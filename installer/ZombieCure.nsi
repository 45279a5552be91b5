; The program's installer: a 64-bit, per-machine installer (administrator rights) with
; Korean and English pages. Built by the Windows tree (installer/CMakeLists.txt), which
; passes:
;   PRODUCT_NSH  the defines read from the program's sources (name, version, publisher, the
;                log-on value, the settings' application name, the log file's name, the
;                window class)
;   PROGRAM      the built ZombieCure.exe
;   SCANNER      the built zcscan.exe, the silent scan's console form, installed beside it
;   ICON         the program's icon file (optional)
;   START_HELPER the built zc-start-as-user.exe, which has the running shell start the
;                program after the install as the logged-on user
;   OUTFILE      the installer to write
;   SIGN_SCRIPT, SIGN_CERT, SIGN_KEY, SIGN_TIMESTAMP  how to sign (optional): the
;                uninstaller as makensis writes it and the installer itself
;
; Installs into the 64-bit Program Files and nowhere else (only administrators can change
; it, so nobody else can replace the program an administrator runs; a folder elsewhere,
; given with /D=, is refused), adds a Start-menu shortcut for all users, the
; installed-programs entry under HKLM and the program's event source, makes the backup
; store's protected root (the program's /prepare-store) and, when asked (the finish page's
; box, /ALLUSERSRUN=1, or the policy StartAtLogonForAllUsers), a machine-wide log-on value.
; The finish page starts the program as the user who is logged on, through the running
; shell, never from this elevated installer (and not at all in silent use). It refuses to
; install over the MSI package of the program. A per-user install of this program
; (an earlier installer put it in the user's own program folder) is removed first. The
; uninstaller ends a running copy of this installation, removes the program, its shortcut,
; its settings and its log-on value, says what it could not remove, and leaves the backup
; folders and their logs where they are.

Unicode true
Target amd64-unicode
!include "${PRODUCT_NSH}"
!addincludedir "${__FILEDIR__}"
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!if "${SETTINGS_APPLICATION}" == ""
  !error "no settings application name"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZombieCure"
!define EVENT_SOURCE_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\${EVENT_SOURCE}"
!define MACHINE_RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define POLICY_KEY "SOFTWARE\Policies\ZombieCure"
!define SETTINGS_KEY "Software\${SETTINGS_APPLICATION}"
!define UNINSTALLER "uninstall.exe"

Name "${PRODUCT_NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\ZombieCure"
RequestExecutionLevel admin

; Signed with Authenticode where the build can sign: the installer once it is written,
; the uninstaller it carries before it is packed into it.
!ifdef SIGN_SCRIPT
  !finalize 'bash "${SIGN_SCRIPT}" "${SIGN_CERT}" "${SIGN_KEY}" "%1" ${SIGN_TIMESTAMP}' = 0
  !uninstfinalize 'bash "${SIGN_SCRIPT}" "${SIGN_CERT}" "${SIGN_KEY}" "%1" ${SIGN_TIMESTAMP}' = 0
!endif
SetCompressor /SOLID lzma
ManifestDPIAware true
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${PRODUCT_FILE_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=0 "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT_NAME} setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "Installer Language"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
; The program is started as the logged-on user, by the shell (StartAsUser); the second box
; writes the machine-wide log-on value (WriteMachineRunValue). Silent use shows no page.
!define MUI_FINISHPAGE_RUN ""
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(RunForAllUsers)"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION WriteMachineRunValue
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(BackupsKept)"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "Korean"
!insertmacro MUI_LANGUAGE "English"

!include "texts.nsh"

!include "running_copy.nsh"
!insertmacro END_RUNNING_COPY ""
!insertmacro END_RUNNING_COPY "un."

; Both run as an administrator: the installer writes Program Files and HKLM, and the
; uninstaller removes them. The 64-bit registry view and the all-users folders throughout.
!macro REQUIRE_ADMINISTRATOR
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NeedsAdministrator)" /SD IDOK
    SetErrorLevel 740  ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

; REQUIRE_PROGRAM_FILES: $INSTDIR (the default, or the folder /D= gave) must lie inside the
; 64-bit Program Files, whose rights only administrators may change and which every
; folder in it inherits. Anything else is refused (exit code 2): a folder under C:\
; inherits "users may modify", and an administrator would then run a program that any
; user could have replaced.
!macro REQUIRE_PROGRAM_FILES
  ; "..", "." and "/" resolved, for a folder that need not exist yet (NSIS's own
  ; GetFullPathName answers nothing for a path that is not there).
  StrCpy $0 ""
  System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r0, p 0) i .r1'
  StrCpy $1 "$PROGRAMFILES64\"
  StrLen $2 $1
  StrCpy $3 $0 $2  ; the same length of the folder
  StrCpy $4 $0 "" $2  ; and what follows it
  ${If} $0 == ""
  ${OrIf} $3 != $1  ; case-insensitive, as Windows compares paths
  ${OrIf} $4 == ""
    MessageBox MB_OK|MB_ICONSTOP "$(OnlyProgramFiles)$INSTDIR" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $INSTDIR $0
!macroend

; The MSI package of the program (its upgrade code) and this installer never install over
; each other: the package's uninstall and upgrade would not know this installer's files.
!macro REFUSE_OVER_MSI
  StrCpy $0 "not asked"
  System::Call 'msi::MsiEnumRelatedProductsW(w "${MSI_UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
  ${If} $0 == "0"  ; ERROR_SUCCESS: a product of the package is installed
    MessageBox MB_OK|MB_ICONSTOP "$(MsiInstalled)" /SD IDOK
    SetErrorLevel 1638  ; ERROR_PRODUCT_VERSION, as Windows Installer says it
    Quit
  ${EndIf}
!macroend

Var EarlierLocation  ; an earlier install's folder outside Program Files, left in place
Function .onInit
  SetShellVarContext all
  SetRegView 64
  !insertmacro MUI_LANGDLL_DISPLAY
  !insertmacro REQUIRE_ADMINISTRATOR
  !insertmacro REFUSE_OVER_MSI
  ; An installed copy is updated where it is, when that is in Program Files and no /D=
  ; named another folder.
  StrCpy $EarlierLocation ""
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $INSTDIR == "$PROGRAMFILES64\ZombieCure"
    StrCpy $5 $INSTDIR
    StrCpy $INSTDIR $0
    System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r0, p 0) i .r1'
    StrCpy $1 "$PROGRAMFILES64\"
    StrLen $2 $1
    StrCpy $3 $0 $2
    ${If} $3 != $1
      StrCpy $EarlierLocation $INSTDIR
      StrCpy $INSTDIR $5
    ${EndIf}
  ${EndIf}
  !insertmacro REQUIRE_PROGRAM_FILES
FunctionEnd

; The finish page's start: the running shell starts the installed program, so that it runs
; as the user who is logged on and not elevated; this installer never starts it itself.
Function StartAsUser
  InitPluginsDir
  File "/oname=$PLUGINSDIR\zc-start-as-user.exe" "${START_HELPER}"
  ExecWait '"$PLUGINSDIR\zc-start-as-user.exe" "$INSTDIR\${PRODUCT_EXE}"' $0
  ${If} $0 != 0
    IntFmt $0 "0x%08X" $0
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(StartAsUserFailed)$0"
  ${EndIf}
FunctionEnd

; The machine-wide log-on value: every user's log-on starts the installed program, with
; that user's own rights.
Function WriteMachineRunValue
  WriteRegStr HKLM "${MACHINE_RUN_KEY}" "${LOGON_VALUE}" '"$INSTDIR\${PRODUCT_EXE}"'
  ReadRegStr $0 HKLM "${MACHINE_RUN_KEY}" "${LOGON_VALUE}"
  ${If} $0 != '"$INSTDIR\${PRODUCT_EXE}"'
    DetailPrint "$(RunValueNotWritten)HKLM\${MACHINE_RUN_KEY}\${LOGON_VALUE}"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(RunValueNotWritten)HKLM\${MACHINE_RUN_KEY}\${LOGON_VALUE}" /SD IDOK
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
  !insertmacro MUI_UNGETLANGUAGE
  !insertmacro REQUIRE_ADMINISTRATOR
FunctionEnd

; KEY_EXISTS <root> <key> <var>: "yes" when the key is there, with values or subkeys
; (reading either fails on a key that is not there).
!macro KEY_EXISTS root key var
  StrCpy ${var} "no"
  ClearErrors
  EnumRegValue ${var} ${root} "${key}" 0
  ${IfNot} ${Errors}
    StrCpy ${var} "yes"
  ${Else}
    ClearErrors
    EnumRegKey ${var} ${root} "${key}" 0
    ${IfNot} ${Errors}
      StrCpy ${var} "yes"
    ${Else}
      StrCpy ${var} "no"
    ${EndIf}
  ${EndIf}
!macroend

; IsReparsePoint <path> <var>: "yes" when the path is a junction or a symbolic link.
!macro IS_REPARSE_POINT path var
  System::Call 'kernel32::GetFileAttributesW(w "${path}") i .s'
  Pop ${var}
  ${If} ${var} <> -1
    IntOp ${var} ${var} & 0x400  ; FILE_ATTRIBUTE_REPARSE_POINT
  ${Else}
    StrCpy ${var} 0
  ${EndIf}
  ${If} ${var} <> 0
    StrCpy ${var} "yes"
  ${Else}
    StrCpy ${var} "no"
  ${EndIf}
!macroend

!include "user_install.nsh"

Section "${PRODUCT_NAME}" SecProgram
  SectionIn RO
  Call RemoveUserInstall
  SetOutPath "$INSTDIR"
  Call EndRunningCopy
  ClearErrors
  File "/oname=${PRODUCT_EXE}" "${PROGRAM}"
  File "/oname=zcscan.exe" "${SCANNER}"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(FileInUse)" /SD IDOK
    Abort
  ${EndIf}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} $EarlierLocation != ""
    DetailPrint "$(EarlierCopyLeft)$EarlierLocation"
    MessageBox MB_OK|MB_ICONINFORMATION "$(EarlierCopyLeft)$EarlierLocation" /SD IDOK
  ${EndIf}

  ; The event source: its messages are in the program.
  WriteRegExpandStr HKLM "${EVENT_SOURCE_KEY}" "EventMessageFile" "$INSTDIR\${PRODUCT_EXE}"
  WriteRegDWORD HKLM "${EVENT_SOURCE_KEY}" "TypesSupported" 7  ; error, warning, information

  ; The backup store's root, protected, before any treatment needs it.
  ExecWait '"$INSTDIR\${PRODUCT_EXE}" /prepare-store' $0
  ${If} $0 != 0
    DetailPrint "$(StoreNotPrepared)$0"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(StoreNotPrepared)$0" /SD IDOK
  ${EndIf}

  ; Start at every user's log-on: asked for on the command line (/ALLUSERSRUN=1) or by
  ; policy; the finish page's box asks for it too.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERSRUN=" $1
  ReadRegDWORD $2 HKLM "${POLICY_KEY}" "StartAtLogonForAllUsers"
  ${If} $1 == "1"
  ${OrIf} $2 = 1
    Call WriteMachineRunValue
  ${EndIf}
  CreateShortcut "$SMPROGRAMS\${PRODUCT_NAME}.lnk" "$INSTDIR\${PRODUCT_EXE}" "" "$INSTDIR\${PRODUCT_EXE}" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PRODUCT_EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Every removal is checked: what could not be removed is listed in $Left and shown at the
; end; a file in use (a copy that could not be ended) is removed when Windows restarts and
; listed in $AtRestart.
Var Left
Var AtRestart
!macro REMOVE_FILE path
  SetRebootFlag false
  Delete /REBOOTOK "${path}"
  ${If} ${RebootFlag}
    StrCpy $AtRestart "$AtRestart$\r$\n${path}"
  ${ElseIf} ${FileExists} "${path}"
    StrCpy $Left "$Left$\r$\n${path}"
  ${EndIf}
!macroend
!macro REMOVE_KEY root key
  DeleteRegKey ${root} "${key}"
  !insertmacro KEY_EXISTS ${root} "${key}" $0
  ${If} $0 == "yes"
    StrCpy $Left "$Left$\r$\n${root}\${key}"
  ${EndIf}
!macroend

; OthersInFolder: $1 = "yes" when $INSTDIR holds anything but this program's own files.
Function un.OthersInFolder
  StrCpy $1 "no"
  FindFirst $2 $3 "$INSTDIR\*.*"
  ${DoWhile} $3 != ""
    ${If} $3 != "."
    ${AndIf} $3 != ".."
    ${AndIf} $3 != "${PRODUCT_EXE}"
    ${AndIf} $3 != "${LOG_FILE}"
    ${AndIf} $3 != "${UNINSTALLER}"
      StrCpy $1 "yes"
    ${EndIf}
    FindNext $2 $3
  ${Loop}
  FindClose $2
FunctionEnd

Section "Uninstall"
  StrCpy $Left ""
  StrCpy $AtRestart ""
  Call un.EndRunningCopy

  ; The log-on value, when it names this installation's program (a copy elsewhere keeps
  ; its own). Read before the program is deleted: its short path needs the file.
  ReadRegStr $0 ${LOGON_ROOT} "${LOGON_KEY}" "${LOGON_VALUE}"
  GetFullPathName /SHORT $1 "$INSTDIR\${PRODUCT_EXE}"
  ${If} $0 != ""
    ${If} $0 == "$INSTDIR\${PRODUCT_EXE}"
    ${OrIf} $0 == '"$INSTDIR\${PRODUCT_EXE}"'
    ${OrIf} $0 == $1
      DeleteRegValue ${LOGON_ROOT} "${LOGON_KEY}" "${LOGON_VALUE}"
      ReadRegStr $2 ${LOGON_ROOT} "${LOGON_KEY}" "${LOGON_VALUE}"
      ${If} $2 != ""
        StrCpy $Left "$Left$\r$\n${LOGON_ROOT}\${LOGON_KEY}\${LOGON_VALUE}"
      ${EndIf}
    ${EndIf}
  ${EndIf}

  !insertmacro REMOVE_FILE "$INSTDIR\${PRODUCT_EXE}"
  !insertmacro REMOVE_FILE "$INSTDIR\zcscan.exe"
  !insertmacro REMOVE_FILE "$INSTDIR\${LOG_FILE}"  ; the program's own log of cipher failures, beside it
  !insertmacro REMOVE_FILE "$INSTDIR\${UNINSTALLER}"
  !insertmacro REMOVE_FILE "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
  RMDir "$INSTDIR"  ; only when nothing else is left in it
  ${If} ${FileExists} "$INSTDIR\*.*"
    Call un.OthersInFolder
    ${If} $1 == "yes"  ; files that are not ours keep the folder
      StrCpy $Left "$Left$\r$\n$INSTDIR"
    ${ElseIf} $AtRestart != ""
      RMDir /REBOOTOK "$INSTDIR"  ; after our files that go at restart
    ${Else}
      StrCpy $Left "$Left$\r$\n$INSTDIR"
    ${EndIf}
  ${EndIf}

  ; The machine-wide log-on value, when it names this installation's program.
  ReadRegStr $0 HKLM "${MACHINE_RUN_KEY}" "${LOGON_VALUE}"
  ${If} $0 == '"$INSTDIR\${PRODUCT_EXE}"'
  ${OrIf} $0 == "$INSTDIR\${PRODUCT_EXE}"
    DeleteRegValue HKLM "${MACHINE_RUN_KEY}" "${LOGON_VALUE}"
    ReadRegStr $2 HKLM "${MACHINE_RUN_KEY}" "${LOGON_VALUE}"
    ${If} $2 != ""
      StrCpy $Left "$Left$\r$\nHKLM\${MACHINE_RUN_KEY}\${LOGON_VALUE}"
    ${EndIf}
  ${EndIf}

  !insertmacro REMOVE_KEY HKCU "${SETTINGS_KEY}"
  !insertmacro REMOVE_KEY HKLM "${EVENT_SOURCE_KEY}"
  !insertmacro REMOVE_KEY HKLM "${UNINSTALL_KEY}"

  ${If} $AtRestart != ""
    DetailPrint "$(AtRestart)$AtRestart"
    MessageBox MB_OK|MB_ICONINFORMATION "$(AtRestart)$AtRestart" /SD IDOK
    SetRebootFlag true
  ${EndIf}
  ${If} $Left != ""
    DetailPrint "$(LeftBehind)$Left"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(LeftBehind)$Left" /SD IDOK
    SetErrorLevel 2
  ${Else}
    DetailPrint "$(BackupsKept)"
  ${EndIf}
SectionEnd
