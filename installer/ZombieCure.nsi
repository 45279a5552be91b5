; The program's installer: a 64-bit, per-user installer (no administrator rights) with
; Korean and English pages. Built by the Windows tree (installer/CMakeLists.txt), which
; passes:
;   PRODUCT_NSH  the defines read from the program's sources (name, version, the log-on
;                value, the settings' application name, the log file's name, the window class)
;   PROGRAM      the built ZombieCure.exe
;   ICON         the program's icon file (optional)
;   OUTFILE      the installer to write
;
; Installs into $LOCALAPPDATA\Programs\ZombieCure, adds a Start-menu shortcut and the
; entry of the user's installed-programs list. The uninstaller ends a running copy of
; this installation, removes the program, its shortcut, its settings and its log-on value,
; and leaves the backup folders and their logs where they are.

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

; Signed with Authenticode where the build can sign: the installer once it is written,
; the uninstaller it carries before it is packed into it.
!ifdef SIGN_SCRIPT
  !finalize 'bash "${SIGN_SCRIPT}" "${SIGN_CERT}" "${SIGN_KEY}" "%1" ${SIGN_TIMESTAMP}' = 0
  !uninstfinalize 'bash "${SIGN_SCRIPT}" "${SIGN_CERT}" "${SIGN_KEY}" "%1" ${SIGN_TIMESTAMP}' = 0
!endif
InstallDir "$LOCALAPPDATA\Programs\ZombieCure"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
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
!define MUI_LANGDLL_REGISTRY_ROOT HKCU
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

Function .onInit
  SetShellVarContext current
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  SetShellVarContext current
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Section "${PRODUCT_NAME}" SecProgram
  SectionIn RO
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

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PRODUCT_EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
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
    ${EndIf}
  ${EndIf}

  Delete "$INSTDIR\${PRODUCT_EXE}"
  Delete "$INSTDIR\${LOG_FILE}"  ; the program's own log of cipher failures, beside it
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"  ; only when nothing else is left in it
  Delete "$SMPROGRAMS\${PRODUCT_NAME}.lnk"

  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DetailPrint "$(BackupsKept)"
SectionEnd
