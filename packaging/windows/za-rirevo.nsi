; The ZA-Rirevo installer for Windows, built on Linux by makensis
; (cmake/windows_installer.cmake, run by scripts/build-windows):
;   makensis -DVERSION=6.8.1 -DWINDOWS_EXE=<za-rirevo.exe> -DCLI_EXE=<za-rirevo-cli.exe>
;            -DARCHIVER_EXE=<pkzip25.exe> -DICON=<za-rirevo.ico> -DREADME=<README.txt>
;            -DOUTFILE=<setup .exe>
;
; For all users: the three programs go where the program looks for them, the
; settings folder C:\kyconfig\system of the products' own installations
; (ZA-RIREVO.INI's default ZIPFILE is C:\kyconfig\system\PKZIP25, so the
; archiver is PkZip25.EXE there); a Start-menu shortcut starts the windows
; with /Fc:\kyconfig\system; the uninstaller has its entry in the installed
; apps. /S installs and uninstalls silently.
;
; An archiver found there before the first installation (the products' own
; PkZip25.EXE) is kept aside as PkZip25.EXE.orig and put back by the
; uninstaller. The settings file ZA-RIREVO.INI is the user's: it stays.
Unicode true
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS Win7 Win8 Win8.1 Win10
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include WinVer.nsh
!include FileFunc.nsh

!define PRODUCT "ZA-Rirevo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZA-Rirevo"
!define FOLDER "C:\kyconfig\system"
!define SHORTCUT "$SMPROGRAMS\ZA-Rirevo.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${FOLDER}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1040 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1040 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di ${PRODUCT}"
VIAddVersionKey /LANG=1040 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "LegalCopyright" "${PRODUCT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\za-rirevo.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/Fc:\kyconfig\system"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\ZA-Rirevo README.txt"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Italian"

Function .onInit
  ${IfNot} ${AtLeastWin7}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} richiede Windows 7 SP1 (64 bit) o successivo." /SD IDOK
    Abort
  ${EndIf}
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "ZA-Rirevo"
  SetOutPath "$INSTDIR"
  ; Another program's archiver is kept for the uninstaller to put back.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ${If} $0 == ""
  ${AndIf} ${FileExists} "$INSTDIR\PkZip25.EXE"
    Delete "$INSTDIR\PkZip25.EXE.orig"
    Rename "$INSTDIR\PkZip25.EXE" "$INSTDIR\PkZip25.EXE.orig"
  ${EndIf}
  File "/oname=za-rirevo.exe" "${WINDOWS_EXE}"
  File "/oname=za-rirevo-cli.exe" "${CLI_EXE}"
  File "/oname=PkZip25.EXE" "${ARCHIVER_EXE}"
  File "/oname=ZA-Rirevo README.txt" "${README}"
  WriteUninstaller "$INSTDIR\ZA-Rirevo uninstall.exe"

  CreateShortcut "${SHORTCUT}" "$INSTDIR\za-rirevo.exe" "/Fc:\kyconfig\system" \
    "$INSTDIR\za-rirevo.exe" 0 SW_SHOWNORMAL "" "Backup delle configurazioni"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\za-rirevo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\ZA-Rirevo uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\ZA-Rirevo uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/M=*.exe /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\za-rirevo.exe"
  Delete "$INSTDIR\za-rirevo-cli.exe"
  Delete "$INSTDIR\PkZip25.EXE"
  ${If} ${FileExists} "$INSTDIR\PkZip25.EXE.orig"
    Rename "$INSTDIR\PkZip25.EXE.orig" "$INSTDIR\PkZip25.EXE"
  ${EndIf}
  Delete "$INSTDIR\ZA-Rirevo README.txt"
  Delete "$INSTDIR\ZA-Rirevo uninstall.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The folders only when nothing else is left in them: the products keep
  ; their own files there.
  RMDir "$INSTDIR"
  RMDir "C:\kyconfig"
SectionEnd
