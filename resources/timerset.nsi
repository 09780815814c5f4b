; The Windows installer: タイマセット for the current user alone (no administrator
; prompt), in Japanese, with a Start-menu shortcut and an entry in Settings → Apps.
; scripts/release.sh runs makensis on it with the release's values:
;   /DARCH=x86_64|i686 /DVERSION=1.1.0.7 /DVERSION_TEXT=1.01.0007
;   /DEXE=timerset.exe /DICON=timerset.ico /DOUTFILE=setup.exe [/DSIGN=command]
Unicode true
!if "${ARCH}" == "x86_64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define NAME "タイマセット"
; The current user's entry in Settings → Apps; one key whatever the version, so
; that an installer run over an older copy replaces it.
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TimerSet"
; The program's window class (ui/win32/form1.cpp), there hidden or shown while it runs.
!define CLASS "TimerSetForm1"

Name "${NAME}"
BrandingText "${NAME} ${VERSION_TEXT}"
OutFile "${OUTFILE}"
; Windows' folder for programs installed per user; an upgrade goes where the copy is.
InstallDir "$LOCALAPPDATA\Programs\TimerSet"
InstallDirRegKey HKCU "${KEY}" InstallLocation

VIProductVersion ${VERSION}
VIFileVersion ${VERSION}
VIAddVersionKey /LANG=1041 ProductName "${NAME}"
VIAddVersionKey /LANG=1041 ProductVersion "${VERSION_TEXT}"
VIAddVersionKey /LANG=1041 FileVersion "${VERSION_TEXT}"
VIAddVersionKey /LANG=1041 FileDescription "${NAME} セットアップ"
VIAddVersionKey /LANG=1041 LegalCopyright "Copyright 2026 タイマセット developers (MIT)"

!include MUI2.nsh
!include FileFunc.nsh
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\timerset.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE Japanese

; A running タイマセット may hold a hidden reminder, which would be lost without a
; word if it were ended: the user closes it, or cancels. Silent, the run ends
; with exit code 2 and changes nothing.
!macro RefuseWhileRunning un what
  Function ${un}.onInit
    retry:
    FindWindow $0 "${CLASS}"
    StrCmp $0 0 done
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${NAME}が動いています。隠れていても、時刻を待っているリマインダーかもしれません。$\r$\n$\r$\n\
ウィンドウが戻ってから閉じるか、タスク マネージャーで終了してから「再試行」を押してください。\
「キャンセル」を押すと、${what}を中止します。" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    done:
  FunctionEnd
!macroend
!insertmacro RefuseWhileRunning "" "インストール"
!insertmacro RefuseWhileRunning "un" "アンインストール"

!ifdef SIGN
  ; The uninstaller is made here, so it is signed here.
  !uninstfinalize '${SIGN} "%1"'
!endif

Section
  SetOutPath $INSTDIR
  File "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\timerset.exe" "" "$INSTDIR\timerset.exe" 0 SW_SHOWNORMAL
  WriteRegStr HKCU "${KEY}" DisplayName "${NAME}"
  WriteRegStr HKCU "${KEY}" DisplayVersion "${VERSION_TEXT}"
  WriteRegStr HKCU "${KEY}" Publisher "タイマセット developers"
  WriteRegStr HKCU "${KEY}" DisplayIcon "$INSTDIR\timerset.exe"
  WriteRegStr HKCU "${KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKCU "${KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${KEY}" NoModify 1
  WriteRegDWORD HKCU "${KEY}" NoRepair 1
  ; In KB, as Settings shows it: the program and the uninstaller.
  ${GetSize} "$INSTDIR" "/M=*.exe /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${KEY}" EstimatedSize $0
SectionEnd

; Exactly what the installer made; the folder only when nothing else is left in it.
Section Uninstall
  Delete "$SMPROGRAMS\${NAME}.lnk"
  Delete "$INSTDIR\timerset.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${KEY}"
SectionEnd
