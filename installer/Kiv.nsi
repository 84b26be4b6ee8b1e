; Kiv setup: a per-user install into the user's programs folder, a Start-menu shortcut that starts
; Kiv in a per-user data folder, an optional start-with-Windows shortcut and an uninstaller
; registered in the user's Apps list. Built by scripts/package.sh, which passes
;   /DVERSION=x.y.z /DSTAGE=<folder with the programs> /DOUTFILE=<setup program>
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh

!define APPKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kiv"

Name "Kiv ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kiv"
InstallDirRegKey HKCU "${APPKEY}" "InstallLocation"
BrandingText "Kiv ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Kiv"
VIAddVersionKey /LANG=1041 "FileDescription" "Kiv セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (c) 2026 The Kiv developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Kiv を起動する"
!define MUI_FINISHPAGE_RUN_FUNCTION StartKiv

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; Kiv keeps one instance per working directory and ends when it is started again there with
; /CloseKiv. A running program file cannot be replaced on Windows, so wait until it can be
; opened for writing (at most ten seconds).
!macro CLOSE_RUNNING_KIV un
Function ${un}CloseRunningKiv
    IfFileExists "$INSTDIR\Kiv.exe" 0 done
    CreateDirectory "$APPDATA\Kiv"
    SetOutPath "$APPDATA\Kiv"
    ExecWait '"$INSTDIR\Kiv.exe" /CloseKiv'
    StrCpy $1 0
    wait:
        ClearErrors
        FileOpen $0 "$INSTDIR\Kiv.exe" a
        IfErrors 0 free
        IntOp $1 $1 + 1
        IntCmp $1 50 done
        Sleep 200
        Goto wait
    free:
        FileClose $0
    done:
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_KIV ""
!insertmacro CLOSE_RUNNING_KIV "un."

Function StartKiv
    SetOutPath "$APPDATA\Kiv"
    Exec '"$INSTDIR\Kiv.exe"'
FunctionEnd

Section "Kiv 本体" SecMain
    SectionIn RO
    SetShellVarContext current
    Call CloseRunningKiv
    SetOutPath "$INSTDIR"
    File "${STAGE}\Kiv.exe"
    File "${STAGE}\KivProp.kxe"
    File "${STAGE}\KivRen.kxe"
    File "${STAGE}\KivAbout.kxe"
    File "${STAGE}\KIV.chm"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The data folder is Kiv's working directory: IconData and every setting live below it.
    CreateDirectory "$APPDATA\Kiv"
    CreateDirectory "$SMPROGRAMS\Kiv"
    ; A shortcut's working directory is the output path at the time it is made.
    SetOutPath "$APPDATA\Kiv"
    CreateShortCut "$SMPROGRAMS\Kiv\Kiv.lnk" "$INSTDIR\Kiv.exe" "" "$INSTDIR\Kiv.exe" 0
    CreateShortCut "$SMPROGRAMS\Kiv\Kiv ヘルプ.lnk" "$INSTDIR\KIV.chm"
    CreateShortCut "$SMPROGRAMS\Kiv\Kiv のアンインストール.lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKCU "${APPKEY}" "DisplayName" "Kiv"
    WriteRegStr HKCU "${APPKEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${APPKEY}" "Publisher" "The Kiv developers"
    WriteRegStr HKCU "${APPKEY}" "DisplayIcon" "$INSTDIR\Kiv.exe,0"
    WriteRegStr HKCU "${APPKEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${APPKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${APPKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${APPKEY}" "NoModify" 1
    WriteRegDWORD HKCU "${APPKEY}" "NoRepair" 1
SectionEnd

Section /o "Windows の起動時に Kiv を起動する" SecStartup
    SetShellVarContext current
    SetOutPath "$APPDATA\Kiv"
    CreateShortCut "$SMSTARTUP\Kiv.lnk" "$INSTDIR\Kiv.exe" "" "$INSTDIR\Kiv.exe" 0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "Kiv とプロパティ、名前の変更、バージョン情報の各プログラム、ヘルプ。"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "Windows にサインインしたときに Kiv を自動的に起動します。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
    SetShellVarContext current
    Call un.CloseRunningKiv
    SetOutPath "$TEMP"
    Delete "$SMSTARTUP\Kiv.lnk"
    Delete "$SMPROGRAMS\Kiv\Kiv.lnk"
    Delete "$SMPROGRAMS\Kiv\Kiv ヘルプ.lnk"
    Delete "$SMPROGRAMS\Kiv\Kiv のアンインストール.lnk"
    RMDir "$SMPROGRAMS\Kiv"
    Delete "$INSTDIR\Kiv.exe"
    Delete "$INSTDIR\KivProp.kxe"
    Delete "$INSTDIR\KivRen.kxe"
    Delete "$INSTDIR\KivAbout.kxe"
    Delete "$INSTDIR\KIV.chm"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${APPKEY}"
    DetailPrint "設定フォルダー $APPDATA\Kiv は削除していません。"
    MessageBox MB_OK|MB_ICONINFORMATION "Kiv をアンインストールしました。$\r$\n$\r$\n設定フォルダー $APPDATA\Kiv (アイコンウィンドウの内容と設定) は削除していません。不要なら手で削除してください。" /SD IDOK
SectionEnd
