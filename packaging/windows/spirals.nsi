; The Windows installer: spirals.exe (the program on our own layer) in the program folder with
; spirals-gdi.exe (the same program on the system's GDI) beside it, spirals.scr in the system
; folder (where the screen-saver settings look; a 32-bit installer on 64-bit Windows writes
; into SysWOW64, where the 32-bit saver belongs), a Start menu entry for each program, and an
; uninstaller listed among the installed programs. /S installs and uninstalls without a
; question.
; makensis -DVERSION=1.2.3 -DPROGRAM=spirals.exe -DPROGRAM_GDI=spirals-gdi.exe
;          -DSAVER=spirals.scr -DICON=spirals.ico -DOUTFILE=spirals-setup.exe spirals.nsi
Unicode true
SetCompressor /SOLID lzma

!ifndef VERSION | PROGRAM | PROGRAM_GDI | SAVER | ICON | OUTFILE
  !error "define VERSION, PROGRAM, PROGRAM_GDI, SAVER, ICON and OUTFILE"
!endif

!include MUI2.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Spirals"

Name "Spirals"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Spirals"
RequestExecutionLevel admin
BrandingText "Spirals ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Spirals"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Spirals installer"
VIAddVersionKey "LegalCopyright" "The spirals developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\spirals.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Spirals"
  ; The Start menu entry is for everyone, as the program folder is.
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=spirals.exe" "${PROGRAM}"
  File "/oname=spirals-gdi.exe" "${PROGRAM_GDI}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetOutPath "$SYSDIR"
  File "/oname=spirals.scr" "${SAVER}"
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\Spirals.lnk" "$INSTDIR\spirals.exe" "" "$INSTDIR\spirals.exe" 0
  CreateShortCut "$SMPROGRAMS\Spirals (system GDI).lnk" "$INSTDIR\spirals-gdi.exe" "" \
    "$INSTDIR\spirals-gdi.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Spirals"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The spirals developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\spirals.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$SYSDIR" "/M=spirals.scr /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Spirals.lnk"
  Delete "$SMPROGRAMS\Spirals (system GDI).lnk"
  Delete "$SYSDIR\spirals.scr"
  Delete "$INSTDIR\spirals.exe"
  Delete "$INSTDIR\spirals-gdi.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: files the user put there stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
