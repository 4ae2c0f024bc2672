; The installer of one Windows edition of 碧溪琴. cmake/windows_package.cmake
; runs makensis in the staged folder (with -NOCD, so that File names the
; staged files) and defines:
;   VERSION, VERSION_4  the project's version, and as four numbers
;   EDITION             win64 or win32
;   TARGET              amd64-unicode or x86-unicode
;   PROGRAMS            the generated list of the edition's programs
;   ICON, OUTFILE
;
; Per user or per machine: the first page asks; silently (/S) it installs for
; the current user, into %LOCALAPPDATA%\Programs\Bixiqin, and /AllUsers
; installs for everyone into Program Files (administrators only). The
; uninstaller removes exactly what was installed.

Unicode true
; The 64-bit edition gets a 64-bit installer: it sees the 64-bit Program
; Files and registry, and (unlike the 32-bit stub) it starts under wine64.
Target ${TARGET}
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all

!define PRODUCT "碧溪琴"
!define BIXIQIN_START_MENU "${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Bixiqin"
!define UNINSTALLER "uninstall.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION} (${EDITION})"

VIProductVersion "${VERSION_4}"
VIFileVersion "${VERSION_4}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} 安装程序 (setup, ${EDITION})"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "MIT License"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "Bixiqin"
; An earlier installation's folder is offered again.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!if "${EDITION}" == "win64"
  !define MULTIUSER_USE_PROGRAMFILES64
!endif
; The uninstaller finds its mode itself (un.onInit): from where it is, not
; from who runs it.
!define MULTIUSER_NOUNINSTALL
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!include /CHARSET=UTF8 "${PROGRAMS}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; English first: it is the fallback on systems in neither language.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString NeedsAdministrator ${LANG_ENGLISH} "${PRODUCT} was installed for all users; only an administrator can remove it."
LangString NeedsAdministrator ${LANG_SIMPCHINESE} "${PRODUCT}是为所有用户安装的，只有管理员才能卸载。"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  !insertmacro BIXIQIN_INSTALL_PROGRAMS
  File "README.txt"
  File "LICENSE.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; The working folder of the entries is $OUTDIR, the programs' own.
  CreateDirectory "$SMPROGRAMS\${BIXIQIN_START_MENU}"
  !insertmacro BIXIQIN_CREATE_SHORTCUTS

  ; SHCTX: HKCU per user, HKLM per machine (MultiUser's SetShellVarContext).
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION} (${EDITION})"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${BIXIQIN_MAIN_PROGRAM},0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Per machine when the machine's entry names this folder; per user otherwise.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "$(NeedsAdministrator)" /SD IDOK
      Abort
    ${EndIf}
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

; Only what the installer put there: a file of the user's own in the folder
; keeps the folder.
Section "Uninstall"
  !insertmacro BIXIQIN_REMOVE_SHORTCUTS
  RMDir "$SMPROGRAMS\${BIXIQIN_START_MENU}"

  !insertmacro BIXIQIN_REMOVE_PROGRAMS
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
