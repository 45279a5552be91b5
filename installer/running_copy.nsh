; Included by ZombieCure.nsi: ends the running copy of this installation.

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
