; The program's installer: a 64-bit, per-machine installer (administrator rights) with
; Korean and English pages. Built by the Windows tree (installer/CMakeLists.txt), which
; passes:
;   PRODUCT_NSH  the defines read from the program's sources (name, version, publisher, the
;                log-on value, the settings' application name, the log file's name, the
;                window class)
;   PROGRAM      the built ZombieCure.exe
;   ICON         the program's icon file (optional)
;   OUTFILE      the installer to write
;   SIGN_SCRIPT, SIGN_CERT, SIGN_KEY, SIGN_TIMESTAMP  how to sign (optional): the
;                uninstaller as makensis writes it and the installer itself
;
; Installs into the 64-bit Program Files (only administrators can change it, so nobody
; else can replace the program an administrator runs), adds a Start-menu shortcut for all
; users and the installed-programs entry under HKLM. A per-user install of this program
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
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PRODUCT_EXE}"
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

Function .onInit
  SetShellVarContext all
  SetRegView 64
  !insertmacro MUI_LANGDLL_DISPLAY
  !insertmacro REQUIRE_ADMINISTRATOR
  ; An installed copy is updated where it is.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
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

  !insertmacro REMOVE_KEY HKCU "${SETTINGS_KEY}"
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
