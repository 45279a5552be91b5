; Included by ZombieCure.nsi (it uses KEY_EXISTS, IS_REPARSE_POINT and EndRunningCopy from there).

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
