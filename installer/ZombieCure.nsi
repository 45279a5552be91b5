; The program's installer: a 64-bit, per-machine installer (administrator rights) with
; Korean and English pages. Built by the Windows tree (installer/CMakeLists.txt), which
; passes:
;   PRODUCT_NSH  the defines read from the program's sources (name, version, publisher, the
;                log-on value, the settings' application name, the log file's name, the
;                window class)
;   PROGRAM      the built ZombieCure.exe
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

LangString BackupsKept ${LANG_KOREAN} "${PRODUCT_NAME}를 컴퓨터에서 지웠습니다.$\r$\n$\r$\n치료한 파일의 백업 폴더와 그 치료 기록(${LOG_FILE})은 지우지 않고 C:\좀비치료백업 에 남겨 두었습니다. 필요 없으면 직접 지우세요."
LangString BackupsKept ${LANG_ENGLISH} "${PRODUCT_NAME} has been removed from your computer.$\r$\n$\r$\nThe backup folders of treated files and their logs (${LOG_FILE}) are kept in C:\좀비치료백업. Delete them yourself when you no longer need them."
LangString EndingCopy ${LANG_KOREAN} "실행 중인 ${PRODUCT_NAME}를 끝냅니다: "
LangString EndingCopy ${LANG_ENGLISH} "Ending the running ${PRODUCT_NAME}: "
LangString NeedsAdministrator ${LANG_KOREAN} "${PRODUCT_NAME}는 모든 사용자를 위해 Program Files에 설치됩니다. 관리자 권한으로 다시 실행하세요."
LangString NeedsAdministrator ${LANG_ENGLISH} "${PRODUCT_NAME} is installed for all users in Program Files. Run this again as an administrator."
LangString RemovingUserInstall ${LANG_KOREAN} "이 사용자만을 위해 설치된 ${PRODUCT_NAME}를 지웁니다: "
LangString RemovingUserInstall ${LANG_ENGLISH} "Removing the ${PRODUCT_NAME} installed for this user only: "
LangString UserInstallLeft ${LANG_KOREAN} "이 사용자만을 위해 설치된 ${PRODUCT_NAME}를 다 지우지 못했습니다. 남은 것:"
LangString UserInstallLeft ${LANG_ENGLISH} "The ${PRODUCT_NAME} installed for this user only could not be removed completely. Left:"
LangString UserInstallElsewhere ${LANG_KOREAN} "사용자 설치 기록이 사용자 프로그램 폴더가 아닌 곳을 가리켜 그대로 두었습니다: "
LangString UserInstallElsewhere ${LANG_ENGLISH} "The per-user install entry names a folder other than the user's program folder; left alone: "
LangString LeftBehind ${LANG_KOREAN} "다음 항목을 지우지 못했습니다. 직접 지우세요:"
LangString LeftBehind ${LANG_ENGLISH} "These could not be removed; delete them yourself:"
LangString AtRestart ${LANG_KOREAN} "다음 파일은 사용 중이어서 컴퓨터를 다시 시작할 때 지워집니다:"
LangString AtRestart ${LANG_ENGLISH} "These files are in use and will be removed when the computer restarts:"
LangString OnlyProgramFiles ${LANG_KOREAN} "${PRODUCT_NAME}는 Program Files 안에만 설치할 수 있습니다. 다른 폴더는 사용자가 프로그램을 바꿀 수 있어 받아들이지 않습니다: "
LangString OnlyProgramFiles ${LANG_ENGLISH} "${PRODUCT_NAME} installs only in Program Files: in another folder users could replace the program. Refused: "
LangString MsiInstalled ${LANG_KOREAN} "${PRODUCT_NAME}가 MSI 패키지로 설치되어 있습니다. 이 설치 프로그램으로 덮어 설치하지 않습니다. MSI 패키지로 업데이트하거나, 먼저 제거한 뒤 다시 설치하세요."
LangString MsiInstalled ${LANG_ENGLISH} "${PRODUCT_NAME} is installed from its MSI package; this installer does not install over it. Update it with the MSI package, or remove it first."
LangString EarlierCopyLeft ${LANG_KOREAN} "Program Files 밖에 설치되어 있던 이전 ${PRODUCT_NAME}는 지우지 않고 그대로 두었습니다. 필요 없으면 직접 지우세요: "
LangString EarlierCopyLeft ${LANG_ENGLISH} "The earlier ${PRODUCT_NAME} installed outside Program Files was left in place; delete it yourself: "
LangString StoreNotPrepared ${LANG_KOREAN} "백업 폴더(C:\좀비치료백업)를 관리자만 바꿀 수 있게 만들지 못했습니다. 치료할 때 다시 시도하며, 그때도 안 되면 파일을 백업하지 않고 그대로 둡니다. 종료 코드: "
LangString StoreNotPrepared ${LANG_ENGLISH} "The backup folder (C:\좀비치료백업) could not be made changeable by administrators only. A treatment tries again; until it succeeds no file is backed up or removed. Exit code: "
LangString RunForAllUsers ${LANG_KOREAN} "모든 사용자가 로그온할 때 ${PRODUCT_NAME} 시작"
LangString RunForAllUsers ${LANG_ENGLISH} "Start ${PRODUCT_NAME} when any user logs on"
LangString RunValueNotWritten ${LANG_KOREAN} "모든 사용자의 로그온 자동 실행 값을 쓰지 못했습니다: "
LangString RunValueNotWritten ${LANG_ENGLISH} "The log-on value for every user could not be written: "
LangString StartAsUserFailed ${LANG_KOREAN} "${PRODUCT_NAME}를 로그온한 사용자의 권한으로 시작하지 못했습니다. 시작 메뉴에서 시작하세요. 오류: "
LangString StartAsUserFailed ${LANG_ENGLISH} "${PRODUCT_NAME} could not be started as the logged-on user; start it from the Start menu. Error: "
LangString FileInUse ${LANG_KOREAN} "$INSTDIR\${PRODUCT_EXE} 파일을 바꿀 수 없습니다. 실행 중인 ${PRODUCT_NAME}를 끝낸 뒤 다시 시도하세요."
LangString FileInUse ${LANG_ENGLISH} "$INSTDIR\${PRODUCT_EXE} cannot be replaced. End the running ${PRODUCT_NAME} and try again."

; EndRunningCopy: ends every running process whose image is this installation's program,
; and no other: first it asks the program's main window to close (the program removes its
; notification-area icon and ends), and after five seconds it ends a process that is still
; running. Copies of the program in other folders are left alone.
!macro END_RUNNING_COPY un
Function ${un}CloseWindowsOf  ; $R2 = process id
  StrCpy $R6 0
  ${Do}
    System::Call 'user32::FindWindowExW(p 0, p R6, w "${WINDOW_CLASS}", p 0) p .R6'
    ${If} $R6 == 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p R6, *i .R7)'
    ${If} $R7 = $R2
      System::Call 'user32::PostMessageW(p R6, i 0x0010, p 0, p 0)'  ; WM_CLOSE
    ${EndIf}
  ${Loop}
FunctionEnd

Function ${un}EndRunningCopy
  Push $0
  Push $1
  StrCpy $R8 "$INSTDIR\${PRODUCT_EXE}"
  GetFullPathName /SHORT $R9 $R8
  System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p .R0'  ; TH32CS_SNAPPROCESS
  ${If} $R0 == -1
    Goto end_running_copy_done
  ${EndIf}
  System::Alloc 568  ; PROCESSENTRY32W: dwSize, cntUsage, th32ProcessID, ...
  Pop $R1
  System::Call '*$R1(i 568)'
  System::Call 'kernel32::Process32FirstW(p R0, p R1) i .r0'
  ${DoWhile} $0 <> 0
    System::Call '*$R1(i, i, i .R2)'
    ; PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x00101001, i 0, i R2) p .R3'
    ${If} $R3 != 0
      StrCpy $R5 ""
      System::Call 'kernel32::QueryFullProcessImageNameW(p R3, i 0, w .R5, *i ${NSIS_MAX_STRLEN}) i .r1'
      ${If} $1 <> 0
      ${AndIf} $R5 != ""
        ${If} $R5 == $R8  ; case-insensitive, as Windows compares paths
        ${OrIf} $R5 == $R9
          DetailPrint "$(EndingCopy)$R5 ($R2)"
          Call ${un}CloseWindowsOf
          System::Call 'kernel32::WaitForSingleObject(p R3, i 5000) i .r1'
          ${If} $1 <> 0  ; not ended within five seconds
            System::Call 'kernel32::TerminateProcess(p R3, i 1)'
            System::Call 'kernel32::WaitForSingleObject(p R3, i 5000)'
          ${EndIf}
        ${EndIf}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p R3)'
    ${EndIf}
    System::Call 'kernel32::Process32NextW(p R0, p R1) i .r0'
  ${Loop}
  System::Free $R1
  System::Call 'kernel32::CloseHandle(p R0)'
end_running_copy_done:
  Pop $1
  Pop $0
FunctionEnd
!macroend
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

; RemoveUserInstall: removes the per-user install an earlier installer made in the user's
; own program folder: ends its running copy, deletes its files, its Start-menu shortcut
; and its installed-programs entry, and points a log-on value that named it at the
; program installed now. The entry is in HKCU, which the user (and any program of the
; user) can write, so it is never run: only the user's own default program folder is
; cleaned, and only when neither it nor its parent is a junction or link.
Var UserLeft
!macro REMOVE_USER_FILE path
  Delete "${path}"
  ${If} ${FileExists} "${path}"
    StrCpy $UserLeft "$UserLeft$\r$\n${path}"
  ${EndIf}
!macroend
Function RemoveUserInstall
  !insertmacro KEY_EXISTS HKCU "${UNINSTALL_KEY}" $0
  ${If} $0 == "no"
    Return  ; no per-user install
  ${EndIf}
  SetShellVarContext current
  StrCpy $5 "$LOCALAPPDATA\Programs\ZombieCure"
  StrCpy $8 "$LOCALAPPDATA\Programs"
  StrCpy $9 "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
  SetShellVarContext all
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  !insertmacro IS_REPARSE_POINT $8 $1
  !insertmacro IS_REPARSE_POINT $5 $2
  ${If} $0 != $5  ; case-insensitive
  ${OrIf} $1 == "yes"
  ${OrIf} $2 == "yes"
    DetailPrint "$(UserInstallElsewhere)$0"
    Return
  ${EndIf}
  DetailPrint "$(RemovingUserInstall)$5"
  StrCpy $UserLeft ""

  ; Its running copy ends first (EndRunningCopy looks for $INSTDIR's program).
  StrCpy $6 $INSTDIR
  StrCpy $INSTDIR $5
  Call EndRunningCopy
  StrCpy $INSTDIR $6

  ; A log-on value that started the per-user copy starts the one installed now.
  ReadRegStr $0 ${LOGON_ROOT} "${LOGON_KEY}" "${LOGON_VALUE}"
  GetFullPathName /SHORT $1 "$5\${PRODUCT_EXE}"
  ${If} $0 != ""
    ${If} $0 == "$5\${PRODUCT_EXE}"
    ${OrIf} $0 == '"$5\${PRODUCT_EXE}"'
    ${OrIf} $0 == $1
      ; Quoted, as the program writes a path with spaces.
      WriteRegStr ${LOGON_ROOT} "${LOGON_KEY}" "${LOGON_VALUE}" '"$INSTDIR\${PRODUCT_EXE}"'

    ${EndIf}
  ${EndIf}

  !insertmacro REMOVE_USER_FILE "$5\${PRODUCT_EXE}"
  !insertmacro REMOVE_USER_FILE "$5\${LOG_FILE}"
  !insertmacro REMOVE_USER_FILE "$5\${UNINSTALLER}"
  RMDir "$5"
  ${If} ${FileExists} "$5\*.*"
    StrCpy $UserLeft "$UserLeft$\r$\n$5"
  ${EndIf}
  !insertmacro REMOVE_USER_FILE "$9"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  !insertmacro KEY_EXISTS HKCU "${UNINSTALL_KEY}" $0
  ${If} $0 == "yes"
    StrCpy $UserLeft "$UserLeft$\r$\nHKCU\${UNINSTALL_KEY}"
  ${EndIf}
  ${If} $UserLeft != ""
    DetailPrint "$(UserInstallLeft)$UserLeft"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(UserInstallLeft)$UserLeft" /SD IDOK
  ${EndIf}
FunctionEnd

Section "${PRODUCT_NAME}" SecProgram
  SectionIn RO
  Call RemoveUserInstall
  SetOutPath "$INSTDIR"
  Call EndRunningCopy
  ClearErrors
  File "/oname=${PRODUCT_EXE}" "${PROGRAM}"
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
