; The setup program: installs the saver that fits the system into the Windows
; system folder, makes it the installing user's screen saver and adds an
; Apps & features entry whose uninstaller takes it all away again.
;
; Made by scripts/make-setup.sh, which passes
;   VERSION   the product's version, x.y.z (CMakeLists.txt's project())
;   SCR_X86   the 32-bit VelorinScreenSaver.scr
;   SCR_X64   the 64-bit VelorinScreenSaver.scr
;   ICON      the saver's icon
;   README    the readme shown before installing (optional)
;   WIZARD    the picture beside the welcome and finish pages, 164 x 314
;             (optional)
;   OUTFILE   the setup program to write
;
; Exit codes of the setup and of the uninstaller: 0 done; 1 cancelled by the
; user; 2 stopped: the saver is in use and could not be replaced; 3 (setup)
; installed, but no one's screen saver was set: the session has no desktop
; user; 740 not run as an administrator.
;
; Who does what. The setup runs elevated, maybe as another account than the
; desktop's user (a standard user types an administrator's password; a
; deployment tool runs it as SYSTEM). Elevated, as that account: the file in
; the system folder and the Apps & features entry (HKLM), which also records
; whose saver it set and what that user had before. For the desktop's user,
; the account of the taskbar's process (Explorer, on every Windows from 2000
; on): SCRNSAVE.EXE and ScreenSaveActive in that user's own hive, never the
; elevated account's HKCU, and the finish page's programs, started with that
; user's own token where Windows can (Vista on), un-elevated.

Unicode true
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel admin

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include WinMessages.nsh
!include MUI2.nsh

!define PRODUCT "VelorinScreenSaver"
!define PUBLISHER "Velorin Software"
!define WEB_SITE "https://www.velorin.example/"
!define SAVER_FILE "${PRODUCT}.scr"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define DESKTOP_KEY "Control Panel\Desktop"
; The saver's windows: the full-screen saver (any saver built on the system's
; screen-saver conventions uses this class and title) and the options dialog.
!define SAVER_CLASS "WindowsScreenSaverClass"
!define SAVER_TITLE "Screen Saver"
!define OPTIONS_TITLE "${PRODUCT} Options"
; How long a closing saver is given to let go of its file, in tenths of a
; second. Wine takes about two seconds to end a process that had windows.
!define CLOSE_WAIT 100
; The exit code without administrator rights, Windows' own for "needs elevation".
!define ERROR_ELEVATION_REQUIRED 740
; The exit code of a setup that found no desktop user to set the saver for.
!define NO_DESKTOP_USER 3
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Only the uninstaller lives here; the saver goes into the system folder. On
; 32-bit Windows this is the one Program Files.
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "${PRODUCT} Setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "Copyright (C) 2026 Velorin"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!ifdef WIZARD
  !define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!endif

!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION} in the Windows system folder and makes it your screen saver. \
  If it is installed already, it is updated.$\r$\n$\r$\n\
  A running ${PRODUCT} will be asked to close.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!ifdef README
  !define MUI_PAGE_HEADER_TEXT "Read me"
  !define MUI_PAGE_HEADER_SUBTEXT "What ${PRODUCT} shows, and where it keeps its settings."
  !define MUI_LICENSEPAGE_TEXT_TOP "Press Page Down to see the rest."
  !define MUI_LICENSEPAGE_TEXT_BOTTOM "Press Next to install ${PRODUCT}."
  !define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
  !insertmacro MUI_PAGE_LICENSE "${README}"
!endif
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed and is now your screen saver.$\r$\n$\r$\n\
  To remove it, use Apps && features (Programs and Features)."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Preview the screen saver now"
!define MUI_FINISHPAGE_RUN_FUNCTION PreviewSaver
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Open its settings"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION OpenSettings
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.ConfirmPage un.ConfirmPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE English

; The installed saver's path. On 64-bit Windows it names the real System32
; only while the calling thread has file-system redirection turned off.
Var saverPath
; The desktop's user, as a SID string ("" when there is none), and that
; user's token for starting programs (0 when it could not be had).
Var desktopUser
Var desktopToken
; The uninstaller's "Also remove my settings" box, and its state.
Var removeSettingsBox
Var removeSettings

; Both the setup and its uninstaller: prefix "" or "un.".
!macro CommonFunctions prefix
  ; Everything it changes needs administrator rights; RequestExecutionLevel
  ; asks for them where Windows knows UAC, this says so everywhere else.
  Function ${prefix}RequireAdministrator
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} lives in the Windows system folder, \
        which needs administrator rights.$\r$\n$\r$\nRun this program as an administrator." /SD IDOK
      SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
      Quit
    ${EndIf}
  FunctionEnd

  ; The system folder as the system itself sees it: on 64-bit Windows this
  ; 32-bit program's view of System32 is SysWOW64 unless told otherwise.
  ; Per thread: the pages and the installing run on different ones.
  Function ${prefix}SeeRealSystemFolder
    ${If} ${RunningX64}
      ${DisableX64FSRedirection}
    ${EndIf}
  FunctionEnd

  Function ${prefix}SeeOwnSystemFolder
    ${If} ${RunningX64}
      ${EnableX64FSRedirection}
    ${EndIf}
  FunctionEnd

  ; Asks every running saver to close: the full-screen saver ends on
  ; WM_CLOSE, the options dialog as on Cancel. Waits for their windows to go.
  Function ${prefix}CloseRunningSaver
    StrCpy $1 0
    ${Do}
      FindWindow $0 "${SAVER_CLASS}" "${SAVER_TITLE}"
      ${If} $0 = 0
        FindWindow $0 "#32770" "${OPTIONS_TITLE}"
      ${EndIf}
      ${If} $0 = 0
      ${OrIf} $1 >= ${CLOSE_WAIT}
        ${Break}
      ${EndIf}
      ${If} $1 = 0
        DetailPrint "Asking the running ${PRODUCT} to close..."
      ${EndIf}
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=1000
      Sleep 100
      IntOp $1 $1 + 1
    ${Loop}
  FunctionEnd

  ; The desktop's user: the account of the process that owns the taskbar. A
  ; session without one (a deployment tool's service session) has none.
  Function ${prefix}FindDesktopUser
    StrCpy $desktopUser ""
    StrCpy $desktopToken 0
    FindWindow $0 "Shell_TrayWnd"
    ${If} $0 P= 0
      Return
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1)'
    ; Another account's process (a standard user's Explorer, when an
    ; administrator's password was typed) opens to an administrator only with
    ; the debug privilege, which an elevated administrator holds but has off.
    System::Call 'kernel32::GetCurrentProcess() p .r2'
    ; TOKEN_ADJUST_PRIVILEGES, TOKEN_QUERY; SE_PRIVILEGE_ENABLED
    System::Call 'advapi32::OpenProcessToken(p r2, i 0x28, *p 0 r3) i .r4'
    ${If} $4 <> 0
      System::Call 'advapi32::LookupPrivilegeValueW(p 0, w "SeDebugPrivilege", *l 0 r5) i .r4'
      System::Call 'advapi32::AdjustTokenPrivileges(p r3, i 0, *(i 1, l r5, i 2), i 0, p 0, p 0)'
      System::Call 'kernel32::CloseHandle(p r3)'
    ${EndIf}
    ; PROCESS_QUERY_INFORMATION; TOKEN_QUERY with TOKEN_DUPLICATE and
    ; TOKEN_ASSIGN_PRIMARY for starting programs, or TOKEN_QUERY alone.
    System::Call 'kernel32::OpenProcess(i 0x400, i 0, i r1) p .r2'
    System::Call 'advapi32::OpenProcessToken(p r2, i 0xB, *p 0 r3) i .r4'
    StrCpy $R5 $3
    ${If} $4 = 0
      System::Call 'advapi32::OpenProcessToken(p r2, i 0x8, *p 0 r3) i .r4'
      StrCpy $R5 0
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
    ${If} $4 = 0
      Return
    ${EndIf}
    ; TokenUser: a SID pointer, then its attributes, then the SID.
    System::Call 'advapi32::GetTokenInformation(p r3, i 1, @ r5, i ${NSIS_MAX_STRLEN}, *i 0) i .r4'
    ${If} $4 <> 0
      System::Call '*$5(p .r6)'
      System::Call 'advapi32::ConvertSidToStringSidW(p r6, *p 0 r7) i .r4'
      ${If} $4 <> 0
        System::Call '*$7(&w${NSIS_MAX_STRLEN} .s)'
        Pop $desktopUser
        System::Call 'kernel32::LocalFree(p r7)'
      ${EndIf}
    ${EndIf}
    StrCpy $desktopToken $R5
  FunctionEnd
!macroend
!insertmacro CommonFunctions ""
!insertmacro CommonFunctions "un."

Function .onInit
  Call RequireAdministrator
  StrCpy $saverPath "$SYSDIR\${SAVER_FILE}"
  Call FindDesktopUser
FunctionEnd

Function un.onInit
  Call un.RequireAdministrator
  StrCpy $saverPath "$SYSDIR\${SAVER_FILE}"
  Call un.FindDesktopUser
FunctionEnd

; The saver that fits the system into the system folder. A saver that has
; just closed may hold its file a moment longer; one that does not close is
; reported, and the setup stops there with the old saver in place.
Function CopySaver
  SetOverwrite try
  StrCpy $1 0
  copy:
    ClearErrors
    ${If} ${RunningX64}
      File "/oname=$saverPath" "${SCR_X64}"
    ${Else}
      File "/oname=$saverPath" "${SCR_X86}"
    ${EndIf}
    ${IfNot} ${Errors}
      Return
    ${EndIf}
    ${If} $1 < ${CLOSE_WAIT}
      Sleep 100
      IntOp $1 $1 + 1
      Goto copy
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is in use, so it could not be updated:$\r$\n\
      $saverPath$\r$\n$\r$\nClose the Screen Saver Settings and ${PRODUCT}'s own settings, \
      then press Retry." /SD IDCANCEL IDRETRY retry
    Abort "${PRODUCT} is in use; nothing was changed."
  retry:
    StrCpy $1 0
    Goto copy
FunctionEnd

Section
  SetDetailsPrint both
  Call CloseRunningSaver

  Call SeeRealSystemFolder
  Call CopySaver
  ; As the saver's own Install does: the system starts it by its short name.
  GetFullPathName /SHORT $0 $saverPath
  ${GetSize} "$SYSDIR" "/M=${SAVER_FILE} /S=0K /G=0" $2 $3 $4
  Call SeeOwnSystemFolder
  StrCpy $R9 $0

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${GetSize} "$INSTDIR" "/M=${UNINSTALLER} /S=0K /G=0" $3 $4 $5
  IntOp $2 $2 + $3

  ; The entry in the system's own registry view, where a 64-bit Windows keeps
  ; the 64-bit programs' entries. One key: a second setup rewrites it.
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${UNINSTALLER},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${WEB_SITE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  Call SetDesktopUsersSaver
  SetRegView default
SectionEnd

; Makes the saver (short name in $R9) the desktop user's screen saver, in
; that user's own hive, and turns the screen saver on in the session: a user
; who had "(None)" has ScreenSaveActive 0, and SCRNSAVE.EXE alone starts
; nothing. The entry (in the view set) records for whom, and what that user
; had, unless a setup before did it for the same user and the saver is still
; theirs. Without a desktop user, nobody's saver is set.
Function SetDesktopUsersSaver
  ${If} $desktopUser == ""
    DetailPrint "No one uses this computer's desktop now: ${PRODUCT} is installed, but is no one's screen saver."
    SetErrorLevel ${NO_DESKTOP_USER}
    Return
  ${EndIf}
  ReadRegStr $0 HKU "$desktopUser\${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ReadRegStr $1 HKU "$desktopUser\${DESKTOP_KEY}" "ScreenSaveActive"
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "ScreenSaverUser"
  ${If} $2 != $desktopUser
  ${OrIf} $0 != $R9
    ${If} $0 == $R9   ; made theirs another way: there is nothing to go back to
      StrCpy $0 ""
    ${EndIf}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "ScreenSaverUser" $desktopUser
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousScreenSaver" $0
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousScreenSaveActive" $1
  ${EndIf}
  WriteRegStr HKU "$desktopUser\${DESKTOP_KEY}" "SCRNSAVE.EXE" $R9
  WriteRegStr HKU "$desktopUser\${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ; The live setting of this session, whose desktop is that user's; not
  ; written to this account's own profile.
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SENDCHANGE})'
FunctionEnd

; Starts the command line in $R0 as the desktop's user, un-elevated, with
; the taskbar's own token; where Windows cannot (before Vista), or there is
; no such user, as this setup.
Function RunAsDesktopUser
  ${If} $desktopToken P<> 0
    ; MAXIMUM_ALLOWED, SecurityImpersonation, TokenPrimary
    System::Call 'advapi32::DuplicateTokenEx(p $desktopToken, i 0x02000000, p 0, i 2, i 1, *p 0 r1) i .r0'
    ${If} $0 <> 0
      System::Alloc 128   ; STARTUPINFOW, 104 bytes at most, zeroed
      Pop $2
      !if ${NSIS_PTR_SIZE} > 4
        System::Call '*$2(i 104)'
      !else
        System::Call '*$2(i 68)'
      !endif
      System::Alloc 32    ; PROCESS_INFORMATION
      Pop $3
      System::Call 'advapi32::CreateProcessWithTokenW(p r1, i 0, p 0, w R0, i 0, p 0, p 0, p r2, p r3) i .r0 ?e'
      Pop $4
      System::Call '*$3(p .r5, p .r6)'
      System::Free $2
      System::Free $3
      System::Call 'kernel32::CloseHandle(p r1)'
      ${If} $0 <> 0
        System::Call 'kernel32::CloseHandle(p r5)'
        System::Call 'kernel32::CloseHandle(p r6)'
        Return
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Exec $R0
FunctionEnd

Function PreviewSaver
  Call SeeRealSystemFolder
  StrCpy $R0 '"$saverPath" /s'
  Call RunAsDesktopUser
  Call SeeOwnSystemFolder
FunctionEnd

; With no switch, as the shell's Configure runs it: "/c" alone would make the
; foreground window, this setup's, the dialog's owner, and the dialog would
; close with it a moment later.
Function OpenSettings
  Call SeeRealSystemFolder
  StrCpy $R0 '"$saverPath"'
  Call RunAsDesktopUser
  Call SeeOwnSystemFolder
FunctionEnd

Function un.ConfirmPage
  !insertmacro MUI_HEADER_TEXT "Uninstall ${PRODUCT}" "Remove ${PRODUCT} from this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 40u "${PRODUCT} will be removed from the Windows system folder and \
    from Apps && features. If it is your screen saver, Windows will show none.$\r$\n$\r$\n\
    Your settings are kept for a later install, unless you remove them too."
  Pop $0
  ${NSD_CreateCheckbox} 0 52u 100% 12u "Also remove my settings"
  Pop $removeSettingsBox
  ${NSD_SetState} $removeSettingsBox $removeSettings
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^UninstallBtn)"
  nsDialogs::Show
FunctionEnd

Function un.ConfirmPageLeave
  ${NSD_GetState} $removeSettingsBox $removeSettings
FunctionEnd

; Takes the saver's section out of a profile file, where there is one.
!macro RemoveSettingsSection file
  ${If} ${FileExists} "${file}"
    DeleteINISec "${file}" "${PRODUCT}"
  ${EndIf}
!macroend

; Every place the saver keeps settings: section [VelorinScreenSaver] of
; win.ini (and of its virtual-store copy, where a standard user's 32-bit saver
; wrote it), of VelorinTools.ini in the data folder named in win.ini, and the
; 64-bit saver's own file under the user's application data.
Function un.RemoveSettings
  DetailPrint "Removing your settings"
  !insertmacro RemoveSettingsSection "$WINDIR\win.ini"
  !insertmacro RemoveSettingsSection "$LOCALAPPDATA\VirtualStore\Windows\win.ini"
  ReadINIStr $0 "$WINDIR\win.ini" "Folders" "VelorinTools"
  ${If} $0 != ""
    !insertmacro RemoveSettingsSection "$0\VelorinTools.ini"
    ; The maker's other tools share this file and its folder's entry in
    ; win.ini: the file goes only when nothing of theirs is left in it.
    ${If} ${FileExists} "$0\VelorinTools.ini"
      System::Call 'kernel32::GetPrivateProfileSectionNames(t .r1, i ${NSIS_MAX_STRLEN}, t "$0\VelorinTools.ini") i .r2'
      ${If} $2 = 0
        Delete "$0\VelorinTools.ini"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Delete "$APPDATA\${PRODUCT}\VelorinTools.ini"
  RMDir "$APPDATA\${PRODUCT}"
FunctionEnd

; Undoes what the setup did for the user it set the saver for, as far as that
; user still has it: while SCRNSAVE.EXE names this saver (by its short name or
; its long one), the saver that user had before comes back, or none, and
; ScreenSaveActive as it was. Windows is then not left starting a file that is
; gone. A user who is not signed in now keeps the setting: that hive is not
; loaded.
Function un.RestoreUsersSaver
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "ScreenSaverUser"
  ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "PreviousScreenSaver"
  ReadRegStr $R3 HKLM "${UNINSTALL_KEY}" "PreviousScreenSaveActive"
  SetRegView default
  ${If} $R1 == ""
    Return
  ${EndIf}
  ReadRegStr $0 HKU "$R1\${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 $0
  GetFullPathName /SHORT $2 $saverPath
  ; LogicLib reads this as (same file, and one that exists) or same name.
  ${If} $1 == $2
  ${AndIf} $1 != ""
  ${OrIf} $0 == $saverPath
    ${If} $R2 == ""
      DeleteRegValue HKU "$R1\${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKU "$R1\${DESKTOP_KEY}" "SCRNSAVE.EXE" $R2
    ${EndIf}
    ${If} $R3 != "1"
      ${If} $R3 == ""
        DeleteRegValue HKU "$R1\${DESKTOP_KEY}" "ScreenSaveActive"
      ${Else}
        WriteRegStr HKU "$R1\${DESKTOP_KEY}" "ScreenSaveActive" $R3
      ${EndIf}
      ${If} $R1 == $desktopUser
        System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_SENDCHANGE})'
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

Section Uninstall
  SetDetailsPrint both
  Call un.CloseRunningSaver

  Call un.SeeRealSystemFolder
  Call un.RestoreUsersSaver
  ; A saver that has just closed may hold its file a moment longer; one that
  ; does not close goes when Windows restarts.
  StrCpy $1 0
  ${Do}
    Delete $saverPath
    ${IfNot} ${FileExists} $saverPath
    ${OrIf} $1 >= ${CLOSE_WAIT}
      ${Break}
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${Loop}
  ${If} ${FileExists} $saverPath
    Delete /REBOOTOK $saverPath
    DetailPrint "${PRODUCT} is in use: it will be removed when Windows restarts."
  ${EndIf}
  Call un.SeeOwnSystemFolder

  ${If} $removeSettings = ${BST_CHECKED}
    Call un.RemoveSettings
  ${EndIf}

  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetRegView default
SectionEnd
