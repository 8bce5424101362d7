; The installer of the Windows package: for the user who installs it (no
; administrator needed), with a Start-menu shortcut whose working folder is
; the user's own "ZEL-TERRAVOX" folder in Documents (the settings file
; Zel-Terravox.ini lives in the current folder), .zel files opening in the
; program, an entry in the system's list of installed programs, and an
; uninstaller. Installed again (a newer version), it replaces the program in
; place and keeps one entry; settings and readings are never touched. /S
; installs and uninstalls silently. makensis -DVERSION=... -DSTAGE=... -DOUTFILE=...
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"

Name "ZEL-TERRAVOX ${VERSION}"
; The program's own name at the foot of every page, not the installer maker's.
BrandingText "ZEL-TERRAVOX ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\ZEL-TERRAVOX"
InstallDirRegKey HKCU "Software\ZEL-TERRAVOX" "InstallDir"
SetCompressor /SOLID lzma

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "ZEL-TERRAVOX"
VIAddVersionKey /LANG=0 "FileDescription" "ZEL-TERRAVOX ${VERSION} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "ZEL-TERRAVOX. GNU GPL 3.0 or later."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zel-terravox.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(StartProgram)"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(ReadingsStay)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "English"

LangString StartProgram ${LANG_RUSSIAN} "Запустить ZEL-TERRAVOX"
LangString StartProgram ${LANG_ENGLISH} "Start ZEL-TERRAVOX"
LangString ReadingsStay ${LANG_RUSSIAN} "Программа будет удалена. Показания станции, сохранённые файлы и настройки останутся на месте (папка readings в $LOCALAPPDATA\zel-terravox, папка ZEL-TERRAVOX в Документах)."
LangString ReadingsStay ${LANG_ENGLISH} "The program will be removed. The station's readings, your saved files and the settings stay where they are (the readings folder in $LOCALAPPDATA\zel-terravox, the ZEL-TERRAVOX folder in Documents)."

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZEL-TERRAVOX"

Section "ZEL-TERRAVOX"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "Software\ZEL-TERRAVOX" "InstallDir" "$INSTDIR"

  ; The working folder of the shortcut: writable, the user's own.
  CreateDirectory "$DOCUMENTS\ZEL-TERRAVOX"
  SetOutPath "$DOCUMENTS\ZEL-TERRAVOX"
  CreateDirectory "$SMPROGRAMS\ZEL-TERRAVOX"
  CreateShortCut "$SMPROGRAMS\ZEL-TERRAVOX\ZEL-TERRAVOX.lnk" "$INSTDIR\zel-terravox.exe"
  CreateShortCut "$SMPROGRAMS\ZEL-TERRAVOX\Uninstall.lnk" "$INSTDIR\uninstall.exe"

  ; .zel files open in the program, which loads the file named on its command line.
  WriteRegStr HKCU "Software\Classes\.zel" "" "ZEL-TERRAVOX.Data"
  WriteRegStr HKCU "Software\Classes\ZEL-TERRAVOX.Data" "" "ZEL-TERRAVOX data file"
  WriteRegStr HKCU "Software\Classes\ZEL-TERRAVOX.Data\DefaultIcon" "" '"$INSTDIR\zel-terravox.exe",0'
  WriteRegStr HKCU "Software\Classes\ZEL-TERRAVOX.Data\shell\open\command" "" '"$INSTDIR\zel-terravox.exe" "%1"'

  ; One entry whatever the version: a newer one replaces it.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "ZEL-TERRAVOX"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "ZEL-TERRAVOX"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\zel-terravox.exe",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  ; The program's files only (never a folder's other contents): the user's
  ; folder with settings and data stays.
  Delete "$INSTDIR\*.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\qt.conf"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY.txt"
  RMDir /r "$INSTDIR\licenses"
  Delete "$INSTDIR\ZEL-TERRAVOX.chm"
  Delete "$INSTDIR\ZEL-TERRAVOX-en.chm"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\imageformats"
  RMDir /r "$INSTDIR\translations"
  RMDir /r "$INSTDIR\help"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\ZEL-TERRAVOX\ZEL-TERRAVOX.lnk"
  Delete "$SMPROGRAMS\ZEL-TERRAVOX\Uninstall.lnk"
  RMDir "$SMPROGRAMS\ZEL-TERRAVOX"
  DeleteRegKey HKCU "Software\Classes\ZEL-TERRAVOX.Data"
  ReadRegStr $0 HKCU "Software\Classes\.zel" ""
  StrCmp $0 "ZEL-TERRAVOX.Data" 0 +2
    DeleteRegKey HKCU "Software\Classes\.zel"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The user's settings (the survey's defaults) stay under the same key.
  DeleteRegValue HKCU "Software\ZEL-TERRAVOX" "InstallDir"
  DeleteRegKey /ifempty HKCU "Software\ZEL-TERRAVOX"
SectionEnd
