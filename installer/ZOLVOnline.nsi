; ZOLV Online installer: ZOLVWeb.exe for every user of the machine, in Program Files, with a
; Start menu shortcut, an optional desktop one, the installation's values in site.ini beside the
; program and an Add/Remove Programs entry. The users' own settings (%LOCALAPPDATA%\ZOLV) are
; never touched, neither here nor by the uninstaller.
;
; Built by CMake (target "installer"), which defines VERSION, TARGET (x86-unicode, or
; amd64-unicode for the 64-bit test build), EXE, ICON, PLUGINDIR (ZOLVSite.dll: site.ini read,
; checked and written by the launcher's own code, its built-in values included), OUTFILE,
; PUBLISHER and COPYRIGHT; SIGN, when given, is a command that signs the file it is given in
; place (scripts/sign.sh), run on the uninstaller and on the finished installer.
;
; Command line: [/S] [/HOST=host] [/CLIENTID=id] [/DESKTOP=1|0] [/D=folder]
; Exit codes: 0 installed, 1 cancelled, 2 failed, 3 host or client id missing or not valid
; (silent mode; nothing was changed), 4 no administrator rights. The uninstaller: 0 removed,
; 2 failed, 3010 removed but a restart is needed to delete the running launcher.

Unicode true
Target ${TARGET}
!addplugindir /${TARGET} "${PLUGINDIR}"

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZOLVOnline"
!define SHORTCUT "ZOLV Online.lnk"
!define ERROR_INVALID_VALUES 3
!define ERROR_NOT_ADMIN 4
!define ERROR_FAILED 2
!define ERROR_RESTART_NEEDED 3010

Name "ZOLV Online"
OutFile "${OUTFILE}"
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif
BrandingText "ZOLV Online ${VERSION}"
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
; Installed files get the installation's time, not the build's: the same sources give the same
; installer.
SetDateSave off
; A program file that cannot be replaced (the launcher is running) fails the installation
; instead of being skipped.
AllowSkipFiles off
!if "${TARGET}" == "amd64-unicode"
  InstallDir "$PROGRAMFILES64\ZOLV Online"
!else
  InstallDir "$PROGRAMFILES\ZOLV Online"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

Var Host
Var ClientId
Var WantDesktop
Var Upgrade
Var SiteError
Var HostField
Var ClientIdField
Var DesktopBox

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
Page custom SitePage SitePageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

LangString SiteTitle ${LANG_SPANISH} "Servidor y cliente"
LangString SiteSubtitle ${LANG_SPANISH} "Dónde está el sistema web ZOLV y qué cliente es este equipo."
LangString HostLabel ${LANG_SPANISH} "Servidor del sistema web: nombre, dirección IPv4 o dirección IPv6 entre corchetes, con :puerto si hace falta."
LangString ClientIdLabel ${LANG_SPANISH} "Número de cliente:"
LangString DesktopLabel ${LANG_SPANISH} "Crear un acceso directo en el escritorio"
LangString HostInvalid ${LANG_SPANISH} "El servidor no es válido.$\r$\n$\r$\nEscriba un nombre (zolv.example.com), una dirección IPv4 (192.0.2.10) o una dirección IPv6 entre corchetes ([2001:db8::1]), seguidos, si hace falta, de dos puntos y un puerto del 1 al 65535."
LangString ClientIdInvalid ${LANG_SPANISH} "El número de cliente no es válido.$\r$\n$\r$\nEscriba un número entero entre -2147483648 y 2147483647."
LangString NeedAdmin ${LANG_SPANISH} "Para instalar o desinstalar ZOLV Online hacen falta permisos de administrador."
LangString SiteNotWritten ${LANG_SPANISH} "No se pudo escribir el archivo $INSTDIR\site.ini."
LangString SiteNotRead ${LANG_SPANISH} "No se pudo leer el archivo $INSTDIR\site.ini."
LangString ProgramInUse ${LANG_SPANISH} "No se pudo quitar $INSTDIR\ZOLVWeb.exe porque está en uso. Cierre ZOLV Online y vuelva a intentarlo."
LangString RestartNeeded ${LANG_SPANISH} "ZOLV Online está abierto: se terminará de quitar al reiniciar el equipo."

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductName" "ZOLV Online"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileDescription" "Instalador de ZOLV Online"
VIAddVersionKey /LANG=${LANG_SPANISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SPANISH} "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductVersion" "${VERSION}"

; Quits with ERROR_NOT_ADMIN unless the process runs with administrator rights (installing for
; every user needs them; without UAC a standard user's run would fail half-way).
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

; The values to install: the built-in ones, overridden by the previous installation's site.ini,
; overridden by the command line. Silent mode checks them here, before anything is changed.
Function .onInit
  SetShellVarContext all
  !insertmacro RequireAdmin

  ReadRegStr $Upgrade HKLM "${UNINSTALL_KEY}" "InstallLocation"
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
  File "/oname=ZOLVWeb.exe" "${EXE}"
  Call WriteSiteIni
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\ZOLVWeb.exe"
  ${If} $WantDesktop == "1"
    CreateShortcut "$DESKTOP\${SHORTCUT}" "$INSTDIR\ZOLVWeb.exe"
  ${Else}
    Delete "$DESKTOP\${SHORTCUT}"
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ZOLV Online"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ZOLVWeb.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetShellVarContext all
  !insertmacro RequireAdmin
FunctionEnd

; A running launcher cannot be deleted, but it can be renamed: it moves aside under a name of
; its own, and only that name is deleted at the next restart. Queuing its own name instead
; would delete the program that a reinstall before the restart puts there. A file that cannot
; even be renamed stops the uninstall before anything is removed.
Function un.RemoveProgram
  ClearErrors
  Delete "$INSTDIR\ZOLVWeb.exe"
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  GetTempFileName $0 "$INSTDIR"
  Delete $0
  ClearErrors
  Rename "$INSTDIR\ZOLVWeb.exe" $0
  ${If} ${Errors}
    MessageBox MB_ICONSTOP|MB_OK "$(ProgramInUse)" /SD IDOK
    SetErrorLevel ${ERROR_FAILED}
    Abort
  ${EndIf}
  Delete /REBOOTOK $0
FunctionEnd

; Removes only what the installer made; the folder goes only when nothing else is left in it.
Section Uninstall
  Call un.RemoveProgram
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  Delete "$INSTDIR\site.ini"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${If} ${RebootFlag}
    MessageBox MB_ICONINFORMATION|MB_OK "$(RestartNeeded)" /SD IDOK
    SetErrorLevel ${ERROR_RESTART_NEEDED}
  ${EndIf}
SectionEnd
