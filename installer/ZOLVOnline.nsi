; ZOLV Online installer: ZOLVWeb.exe for every user of the machine, in Program Files, or for
; the current user only, in %LOCALAPPDATA%\Programs, without administrator rights; with a Start
; menu shortcut, an optional desktop one, the installation's values in site.ini beside the
; program and an Add/Remove Programs entry (HKLM or HKCU). The users' own settings
; (%LOCALAPPDATA%\ZOLV) are never touched, neither here nor by the uninstaller.
;
; Built by CMake (target "installer"), which defines VERSION, TARGET (x86-unicode, or
; amd64-unicode for the 64-bit test build), EXE, WAIT (UninstallWait.exe, the uninstall command
; that returns when the removal is done), NOTICES (THIRD-PARTY-NOTICES.txt, installed beside the
; program), ICON, PLUGINDIR (ZOLVSite.dll: site.ini read, checked and written by the launcher's
; own code, its built-in values included), MSI_UPGRADE_CODE (the MSI package's, braced), OUTFILE,
; PUBLISHER and COPYRIGHT; SIGN, when given, is a command that signs the file it is given in
; place (scripts/sign.sh), run on the uninstaller and on the finished installer.
;
; Command line: [/S] [/ALLUSERS | /CURRENTUSER] [/HOST=host] [/CLIENTID=id] [/DESKTOP=1|0]
; [/D=folder]. Without /ALLUSERS or /CURRENTUSER: every user when run with administrator rights
; (the interactive installer asks), else the current user.
; Exit codes: 0 installed, 1 cancelled, 2 failed, 3 host or client id missing or not valid
; (silent mode; nothing was changed), 4 /ALLUSERS without administrator rights, 1618 the launcher
; is in use and could not even be moved aside, 7 the MSI package is installed, 8 a newer version
; is installed. The uninstaller: 0 removed, 1 cancelled, 2 failed, 4 without administrator
; rights, 1618 in use (nothing was removed), 6 removed but a running program is left in the
; folder (a standard user's uninstall: only administrators can have Windows delete it at
; restart), 3010 removed, the running program is deleted at the next restart.

Unicode true
Target ${TARGET}
!addplugindir /${TARGET} "${PLUGINDIR}"

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZOLVOnline"
!define SHORTCUT "ZOLV Online.lnk"
!define ERROR_INVALID_VALUES 3
!define ERROR_NOT_ADMIN 4
!define ERROR_FAILED 2
; Windows Installer's "another installation is in progress": deployment tools retry it by
; themselves (Intune, Configuration Manager), as a launcher in use calls for.
!define ERROR_IN_USE 1618
!define ERROR_LEFT_BEHIND 6
!define ERROR_MSI_INSTALLED 7
!define ERROR_NEWER_INSTALLED 8
!define ERROR_RESTART_NEEDED 3010

Name "ZOLV Online"
OutFile "${OUTFILE}"
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif
BrandingText "ZOLV Online ${VERSION}"
; Administrators are asked to elevate; other users install for themselves without a prompt.
RequestExecutionLevel highest
ManifestDPIAware true
SetCompressor /SOLID lzma
; Installed files get the installation's time, not the build's: the same sources give the same
; installer.
SetDateSave off
; A program file that cannot be replaced (the launcher is running) fails the installation
; instead of being skipped.
AllowSkipFiles off
; No InstallDir: the folder depends on who it is installed for (ApplyMode), and $INSTDIR that
; is set before .onInit can only come from /D=.
!if "${TARGET}" == "amd64-unicode"
  !define MACHINE_DIR "$PROGRAMFILES64\ZOLV Online"
!else
  !define MACHINE_DIR "$PROGRAMFILES\ZOLV Online"
!endif
!define USER_DIR "$LOCALAPPDATA\Programs\ZOLV Online"

Var AllUsers
Var CanAllUsers
Var AskMode
Var GivenDir
Var AllUsersButton
Var Host
Var ClientId
Var WantDesktop
Var Upgrade
Var SiteError
Var HostField
Var ClientIdField
Var DesktopBox
Var LeftBehind

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

Page custom ModePage ModePageLeave
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
Page custom SitePage SitePageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartLauncher)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartLauncher
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

LangString ModeTitle ${LANG_SPANISH} "Para quién se instala"
LangString ModeSubtitle ${LANG_SPANISH} "ZOLV Online puede instalarse para todos los usuarios de este equipo o solo para usted."
LangString ModeAllUsers ${LANG_SPANISH} "Para todos los usuarios de este equipo"
LangString ModeCurrentUser ${LANG_SPANISH} "Solo para mí (no hacen falta permisos de administrador)"
LangString StartLauncher ${LANG_SPANISH} "Iniciar ZOLV Online"
LangString SiteTitle ${LANG_SPANISH} "Servidor y cliente"
LangString SiteSubtitle ${LANG_SPANISH} "Dónde está el sistema web ZOLV y qué cliente es este equipo."
LangString HostLabel ${LANG_SPANISH} "Servidor del sistema web: nombre, dirección IPv4 o dirección IPv6 entre corchetes, con :puerto si hace falta."
LangString ClientIdLabel ${LANG_SPANISH} "Número de cliente:"
LangString DesktopLabel ${LANG_SPANISH} "Crear un acceso directo en el escritorio"
LangString HostInvalid ${LANG_SPANISH} "El servidor no es válido.$\r$\n$\r$\nEscriba un nombre (zolv.example.com), una dirección IPv4 (192.0.2.10) o una dirección IPv6 entre corchetes ([2001:db8::1]), seguidos, si hace falta, de dos puntos y un puerto del 1 al 65535."
LangString ClientIdInvalid ${LANG_SPANISH} "El número de cliente no es válido.$\r$\n$\r$\nEscriba un número entero entre -2147483648 y 2147483647."
LangString NeedAdmin ${LANG_SPANISH} "Para instalar o desinstalar ZOLV Online para todos los usuarios hacen falta permisos de administrador."
LangString SiteNotWritten ${LANG_SPANISH} "No se pudo escribir el archivo $INSTDIR\site.ini."
LangString SiteLeft ${LANG_SPANISH} "No se pudo borrar $INSTDIR\site.ini: otro programa lo tiene abierto. Se deja en la carpeta."
LangString SiteNotRead ${LANG_SPANISH} "No se pudo leer el archivo $INSTDIR\site.ini."
LangString ProgramInUse ${LANG_SPANISH} "No se pudo quitar $INSTDIR\ZOLVWeb.exe porque está en uso. Cierre ZOLV Online y vuelva a intentarlo."
LangString RestartNeeded ${LANG_SPANISH} "ZOLV Online está abierto: se terminará de quitar al reiniciar el equipo."
LangString LeftBehind ${LANG_SPANISH} "ZOLV Online se ha quitado, pero seguía abierto: el programa queda en la carpeta $INSTDIR. Cuando ZOLV Online esté cerrado, borre esa carpeta."
LangString MsiInstalled ${LANG_SPANISH} "ZOLV Online ya está instalado en este equipo con el paquete MSI. Actualícelo con un paquete MSI más reciente, o desinstálelo antes de usar este instalador."
LangString NewerInstalled ${LANG_SPANISH} "Ya está instalada una versión más reciente de ZOLV Online ($0). Para volver a la versión ${VERSION}, desinstálela antes."

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductName" "ZOLV Online"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileDescription" "Instalador de ZOLV Online"
VIAddVersionKey /LANG=${LANG_SPANISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SPANISH} "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductVersion" "${VERSION}"

; Deletes a file while a process that is ending still holds it: tries again every 200 ms, as
; often as asked. Call with the file and then the number of tries pushed; the error flag is set
; when the file is still there. For the installer and, prefixed "un.", the uninstaller.
!macro DeleteWhenFree prefix
Function ${prefix}DeleteWhenFree
  Exch $R1
  Exch
  Exch $R0
  ${Do}
    Delete $R0
    ${IfNot} ${FileExists} $R0
      ${Break}
    ${EndIf}
    IntOp $R1 $R1 - 1
    ${If} $R1 <= 0
      ${Break}
    ${EndIf}
    Sleep 200
  ${Loop}
  ; The flag is set last: LogicLib's ${Errors} test clears it.
  ClearErrors
  ${If} ${FileExists} $R0
    SetErrors
  ${EndIf}
  Pop $R0
  Pop $R1
FunctionEnd
!macroend
!insertmacro DeleteWhenFree ""
!insertmacro DeleteWhenFree "un."

; A running launcher cannot be deleted, but it can be renamed: it moves aside in its folder
; under a name of its own, which $LeftBehind holds; only that name may then be queued for
; deletion, since queuing its own name would delete the program that a reinstall before the
; restart puts there. A file that cannot even be renamed quits with ERROR_IN_USE: the
; uninstaller before anything is removed, the installer before anything is changed. Launchers
; set aside earlier, closed since, go first.
!macro SetProgramAside prefix
Function ${prefix}SetProgramAside
  StrCpy $LeftBehind ""
  Delete "$INSTDIR\ns*.tmp"
  ; A launcher that has just been closed may hold its file for a moment.
  Push "$INSTDIR\ZOLVWeb.exe"
  Push 10
  Call ${prefix}DeleteWhenFree
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  GetTempFileName $0 "$INSTDIR"
  Delete $0
  ClearErrors
  Rename "$INSTDIR\ZOLVWeb.exe" $0
  ${If} ${Errors}
    MessageBox MB_ICONSTOP|MB_OK "$(ProgramInUse)" /SD IDOK
    SetErrorLevel ${ERROR_IN_USE}
    Quit
  ${EndIf}
  StrCpy $LeftBehind $0
FunctionEnd
!macroend
!insertmacro SetProgramAside ""
!insertmacro SetProgramAside "un."

; Quits with ERROR_NOT_ADMIN unless the process runs with administrator rights (installing for
; every user needs them; without them the run would fail half-way).
!macro RequireAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP|MB_OK "$(NeedAdmin)" /SD IDOK
    SetErrorLevel ${ERROR_NOT_ADMIN}
    Quit
  ${EndIf}
!macroend

; Sets $SiteError to the message for the first of $Host and $ClientId that the launcher would
; refuse, or to "" when both are fit.
Function CheckSite
  StrCpy $SiteError ""
  Push $Host
  ZOLVSite::CheckHost
  Pop $0
  ${If} $0 != "1"
    StrCpy $SiteError "$(HostInvalid)"
    Return
  ${EndIf}
  Push $ClientId
  ZOLVSite::CheckClientId
  Pop $0
  ${If} $0 != "1"
    StrCpy $SiteError "$(ClientIdInvalid)"
  ${EndIf}
FunctionEnd

; Who it is installed for: the command line's choice, else every user when the rights allow
; (asked on the first page when interactive), else the current user.
Function .onInit
  StrCpy $GivenDir $INSTDIR
  ; One product, one Add/Remove Programs entry: the MSI package's installation is upgraded or
  ; removed with MSI packages only.
  Push "${MSI_UPGRADE_CODE}"
  ZOLVSite::MsiInstalled
  Pop $0
  ${If} $0 == "1"
    MessageBox MB_ICONSTOP|MB_OK "$(MsiInstalled)" /SD IDOK
    SetErrorLevel ${ERROR_MSI_INSTALLED}
    Quit
  ${EndIf}
  StrCpy $CanAllUsers "0"
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "admin"
    StrCpy $CanAllUsers "1"
  ${EndIf}
  StrCpy $AllUsers ""
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/ALLUSERS" $0
  ${IfNot} ${Errors}
    StrCpy $AllUsers "1"
    !insertmacro RequireAdmin
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/CURRENTUSER" $0
  ${IfNot} ${Errors}
    StrCpy $AllUsers "0"
  ${EndIf}
  StrCpy $AskMode "0"
  ${If} $AllUsers == ""
    ${If} $CanAllUsers != "1"
      StrCpy $AllUsers "0"
    ${ElseIf} ${Silent}
      StrCpy $AllUsers "1"
    ${Else}
      StrCpy $AskMode "1"
      StrCpy $AllUsers "1"
    ${EndIf}
  ${EndIf}
  Call ApplyMode
FunctionEnd

; Puts the folders, the registry root and the values for $AllUsers in place. The values: the
; built-in ones, overridden by the previous installation's site.ini, overridden by the command
; line. Silent mode checks them here, before anything is changed.
Function ApplyMode
  ${If} $AllUsers == "1"
    SetShellVarContext all
    StrCpy $2 "${MACHINE_DIR}"
  ${Else}
    SetShellVarContext current
    StrCpy $2 "${USER_DIR}"
  ${EndIf}
  ReadRegStr $Upgrade SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ; A newer version is not replaced by an older one, as Windows Installer refuses a downgrade.
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 != ""
    ${VersionCompare} $0 "${VERSION}" $1
    ${If} $1 == 1
      MessageBox MB_ICONSTOP|MB_OK "$(NewerInstalled)" /SD IDOK
      SetErrorLevel ${ERROR_NEWER_INSTALLED}
      Quit
    ${EndIf}
  ${EndIf}
  ${If} $GivenDir != ""
    StrCpy $INSTDIR $GivenDir
  ${ElseIf} $Upgrade != ""
    StrCpy $INSTDIR $Upgrade
  ${Else}
    StrCpy $INSTDIR $2
  ${EndIf}
  ; Exactly what the launcher would read; an unreadable file is not taken for a missing one.
  Push "$INSTDIR\site.ini"
  ZOLVSite::ReadSite
  Pop $0
  ${If} $0 != "1"
    MessageBox MB_ICONSTOP|MB_OK "$(SiteNotRead)" /SD IDOK
    SetErrorLevel ${ERROR_FAILED}
    Quit
  ${EndIf}
  Pop $Host
  Pop $ClientId
  StrCpy $WantDesktop "0"
  ${If} ${FileExists} "$DESKTOP\${SHORTCUT}"
    StrCpy $WantDesktop "1"
  ${EndIf}

  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/HOST=" $0
  ${IfNot} ${Errors}
    StrCpy $Host $0
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/CLIENTID=" $0
  ${IfNot} ${Errors}
    StrCpy $ClientId $0
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/DESKTOP=" $0
  ${IfNot} ${Errors}
    ${If} $0 == "1"
    ${OrIf} $0 == "0"
      StrCpy $WantDesktop $0
    ${ElseIf} ${Silent}
      SetErrorLevel ${ERROR_INVALID_VALUES}
      Quit
    ${EndIf}
  ${EndIf}

  ${If} ${Silent}
    Call CheckSite
    ${If} $SiteError != ""
      SetErrorLevel ${ERROR_INVALID_VALUES}
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function ModePage
  ${If} $AskMode != "1"
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "$(ModeTitle)" "$(ModeSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 0 100% 12u "$(ModeAllUsers)"
  Pop $AllUsersButton
  ${NSD_CreateRadioButton} 0 18u 100% 12u "$(ModeCurrentUser)"
  Pop $0
  ${If} $AllUsers == "1"
    ${NSD_Check} $AllUsersButton
  ${Else}
    ${NSD_Check} $0
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $AllUsersButton $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers "1"
  ${Else}
    StrCpy $AllUsers "0"
  ${EndIf}
  Call ApplyMode
FunctionEnd

; Through the shell, so that the launcher runs as the user, not with the installer's rights.
Function StartLauncher
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\ZOLVWeb.exe"'
FunctionEnd

; An upgrade goes where the previous installation is.
Function SkipOnUpgrade
  ${If} $Upgrade != ""
    Abort
  ${EndIf}
FunctionEnd

Function SitePage
  !insertmacro MUI_HEADER_TEXT "$(SiteTitle)" "$(SiteSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 20u "$(HostLabel)"
  Pop $0
  ${NSD_CreateText} 0 22u 100% 12u "$Host"
  Pop $HostField
  ${NSD_CreateLabel} 0 46u 100% 10u "$(ClientIdLabel)"
  Pop $0
  ${NSD_CreateText} 0 58u 40% 12u "$ClientId"
  Pop $ClientIdField
  ${NSD_CreateCheckbox} 0 86u 100% 12u "$(DesktopLabel)"
  Pop $DesktopBox
  ${If} $WantDesktop == "1"
    ${NSD_Check} $DesktopBox
  ${EndIf}
  ${NSD_SetFocus} $HostField
  nsDialogs::Show
FunctionEnd

Function SitePageLeave
  ${NSD_GetText} $HostField $Host
  ${NSD_GetText} $ClientIdField $ClientId
  ${NSD_GetState} $DesktopBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $WantDesktop "1"
  ${Else}
    StrCpy $WantDesktop "0"
  ${EndIf}
  Call CheckSite
  ${If} $SiteError != ""
    MessageBox MB_ICONEXCLAMATION|MB_OK "$SiteError"
    Abort
  ${EndIf}
FunctionEnd

; Writes the values into site.ini, keeping the rest of the file and its encoding; a file that
; already holds them is left as the administrator left it.
Function WriteSiteIni
  Push $ClientId
  Push $Host
  Push "$INSTDIR\site.ini"
  ZOLVSite::WriteSite
  Pop $0
  ${If} $0 != "1"
    MessageBox MB_ICONSTOP|MB_OK "$(SiteNotWritten)" /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  ; An upgrade while someone has the launcher open: the new program goes in beside the old one,
  ; which ends when it is closed. Windows deletes it at the next restart for an administrator
  ; (no restart is needed for the new one); a standard user's goes with the next upgrade or
  ; uninstall.
  Call SetProgramAside
  ${If} $LeftBehind != ""
  ${AndIf} $AllUsers == "1"
    Delete /REBOOTOK $LeftBehind
    SetRebootFlag false
  ${EndIf}
  File "/oname=ZOLVWeb.exe" "${EXE}"
  File "/oname=UninstallWait.exe" "${WAIT}"
  File "/oname=THIRD-PARTY-NOTICES.txt" "${NOTICES}"
  Call WriteSiteIni
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\ZOLVWeb.exe"
  ${If} $WantDesktop == "1"
    CreateShortcut "$DESKTOP\${SHORTCUT}" "$INSTDIR\ZOLVWeb.exe"
  ${Else}
    Delete "$DESKTOP\${SHORTCUT}"
  ${EndIf}

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "ZOLV Online"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ZOLVWeb.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\UninstallWait.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The installation this uninstaller belongs to: every user's when HKLM names its folder, else
; the current user's.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $AllUsers "0"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers "1"
    SetShellVarContext all
    !insertmacro RequireAdmin
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

; UninstallWait.exe, when it is what runs this copy of the uninstaller, waits for its end: its
; file moves into this copy's own folder, outside the installation, when that folder is on the
; same volume (a rename: MoveFileEx without MOVEFILE_COPY_ALLOWED; NSIS' Rename would copy
; across volumes and leave the running file in place). On another volume (%TEMP% of a
; redirected profile) it is renamed aside in the folder and left behind as a running launcher
; is.
Function un.RemoveWaitCommand
  Delete "$INSTDIR\UninstallWait.exe"
  ${IfNot} ${FileExists} "$INSTDIR\UninstallWait.exe"
  ${OrIf} $EXEDIR == $INSTDIR
    Return
  ${EndIf}
  System::Call 'kernel32::MoveFileExW(w "$INSTDIR\UninstallWait.exe", w "$EXEDIR\UninstallWait.exe", i 0) i .r0'
  ${If} $0 == 0
    GetTempFileName $0 "$INSTDIR"
    Delete $0
    Rename "$INSTDIR\UninstallWait.exe" $0
    StrCpy $LeftBehind $0
  ${EndIf}
FunctionEnd

; Removes only what the installer made; the folder goes only when nothing else is left in it.
; What still runs is left renamed in the folder (ns*.tmp): for every user, Windows deletes it
; and the folder at the next restart (only administrators may ask for that, and only they
; remove an installation for every user); for the current user it stays, and the uninstaller
; says where.
Section Uninstall
  Call un.SetProgramAside
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  ; Nothing about site.ini stops the uninstall: one that another program holds stays, and the
  ; rest goes.
  Delete "$INSTDIR\site.ini"
  ${If} ${FileExists} "$INSTDIR\site.ini"
    DetailPrint "$(SiteLeft)"
  ${EndIf}
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  ; The uninstaller that handed over to this copy of itself may not have ended yet.
  Push "$INSTDIR\Uninstall.exe"
  Push 50
  Call un.DeleteWhenFree
  Call un.RemoveWaitCommand
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ${If} $LeftBehind == ""
    RMDir "$INSTDIR"
  ${ElseIf} $AllUsers == "1"
    Delete /REBOOTOK "$INSTDIR\ns*.tmp"
    RMDir /REBOOTOK "$INSTDIR"
    MessageBox MB_ICONINFORMATION|MB_OK "$(RestartNeeded)" /SD IDOK
    SetErrorLevel ${ERROR_RESTART_NEEDED}
  ${Else}
    RMDir "$INSTDIR"
    MessageBox MB_ICONINFORMATION|MB_OK "$(LeftBehind)" /SD IDOK
    SetErrorLevel ${ERROR_LEFT_BEHIND}
  ${EndIf}
SectionEnd
