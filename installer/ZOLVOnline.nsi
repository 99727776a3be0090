; ZOLV Online installer: ZOLVWeb.exe for every user of the machine, in Program Files, with a
; Start menu shortcut, an optional desktop one, the installation's values in site.ini beside the
; program and an Add/Remove Programs entry. The users' own settings (%LOCALAPPDATA%\ZOLV) are
; never touched, neither here nor by the uninstaller.
;
; Built by CMake (target "installer"), which defines VERSION, TARGET (x86-unicode, or
; amd64-unicode for the 64-bit test build), EXE, ICON, PLUGINDIR (ZOLVSite.dll, the launcher's
; own checks of the values), OUTFILE, PUBLISHER, COPYRIGHT, DEFAULT_HOST and DEFAULT_CLIENT_ID.
;
; Command line: [/S] [/HOST=host] [/CLIENTID=id] [/DESKTOP=1|0] [/D=folder]
; Exit codes: 0 installed, 1 cancelled, 2 failed, 3 host or client id missing or not valid
; (silent mode; nothing was changed), 4 no administrator rights.

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

Name "ZOLV Online"
OutFile "${OUTFILE}"
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
  StrCpy $Host "${DEFAULT_HOST}"
  StrCpy $ClientId "${DEFAULT_CLIENT_ID}"
  ClearErrors
  ReadINIStr $0 "$INSTDIR\site.ini" "Site" "Host"
  ${IfNot} ${Errors}
    StrCpy $Host $0
  ${EndIf}
  ClearErrors
  ReadINIStr $0 "$INSTDIR\site.ini" "Site" "ClientId"
  ${IfNot} ${Errors}
    StrCpy $ClientId $0
  ${EndIf}
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

; Writes site.ini unless it already holds exactly these values: an upgrade without new values
; keeps the file as the administrator left it.
Function WriteSiteIni
  ClearErrors
  ReadINIStr $0 "$INSTDIR\site.ini" "Site" "Host"
  ReadINIStr $1 "$INSTDIR\site.ini" "Site" "ClientId"
  ${IfNot} ${Errors}
  ${AndIf} $0 S== $Host
  ${AndIf} $1 S== $ClientId
    Return
  ${EndIf}
  ClearErrors
  FileOpen $0 "$INSTDIR\site.ini" w
  ${If} ${Errors}
    MessageBox MB_ICONSTOP|MB_OK "$(SiteNotWritten)" /SD IDOK
    Abort
  ${EndIf}
  ; The values are plain ASCII (CheckSite), so the file's bytes are exactly these.
  FileWrite $0 "[Site]$\r$\nHost=$Host$\r$\nClientId=$ClientId$\r$\n"
  FileClose $0
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

; Removes only what the installer made; the folder goes only when nothing else is left in it.
; A program file in use goes at the next restart.
Section Uninstall
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  Delete /REBOOTOK "$INSTDIR\ZOLVWeb.exe"
  Delete "$INSTDIR\site.ini"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
