; The per-user installer of VITRELL: one script for the 64-bit and the 32-bit setup. scripts/release.sh builds it:
;   makensis -DVERSION=x.y.z -DARCH=win64|win32 -DFILES=list.nsh -DOUTFILE=setup.exe vitrell.nsi
; FILES holds two macros made from the release folder, VITRELL_INSTALL_FILES and VITRELL_REMOVE_FILES, so that
; the uninstaller removes by name exactly the files this setup installs.
; Nothing needs administrator rights: the program goes to the user's own Programs folder and every registry
; value lives under HKEY_CURRENT_USER. The settings are left alone, so an upgrade keeps them.

!if "${ARCH}" == "win64"
    Target amd64-unicode
!else
    Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PUBLISHER "VITRELL developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VITRELL"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_PARENT "Software\VB and VBA Program Settings"
!define SETTINGS_KEY "${SETTINGS_PARENT}\VITRELL"
; How a running copy is found: the mutex it holds in the session namespace (kOneCopyMutexName), its main window
; (kMainWindowClass, core/product.h), or its exe in use.
!define /ifndef VITRELL_MUTEX "VITRELL.OneCopy"
!define VITRELL_WINDOW_CLASS "VITRELL"
!define EXIT_RUNNING 2  ; the exit code of a silent run that stopped because VITRELL runs

Name "VITRELL"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\VITRELL"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include "${FILES}"

!define MUI_ICON "${__FILEDIR__}/../resource/vitrell.ico"
!define MUI_UNICON "${__FILEDIR__}/../resource/vitrell.ico"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\VITRELL.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The pages speak the user's language: Japanese on a Japanese Windows, English elsewhere.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString StrProgram ${LANG_ENGLISH} "VITRELL (required)"
LangString StrProgram ${LANG_JAPANESE} "ビトレル (必須)"
LangString StrStartMenu ${LANG_ENGLISH} "Start-menu shortcut"
LangString StrStartMenu ${LANG_JAPANESE} "スタート メニューのショートカット"
LangString StrDesktop ${LANG_ENGLISH} "Desktop shortcut"
LangString StrDesktop ${LANG_JAPANESE} "デスクトップのショートカット"
LangString StrRun ${LANG_ENGLISH} "Start with Windows"
LangString StrRun ${LANG_JAPANESE} "Windows の起動時に開始する"
LangString StrRunning ${LANG_ENGLISH} "VITRELL is running. End it (総合ﾒﾆｭｰ > ﾌｧｲﾙ > ビトレル の終了), then choose Retry. Cancel stops here and changes nothing."
LangString StrRunning ${LANG_JAPANESE} "ビトレルが実行中です。「総合ﾒﾆｭｰ」→「ﾌｧｲﾙ」→「ビトレル の終了」で終了してから [再試行] を選んでください。[キャンセル] を選ぶと何も変更せずに終わります。"
LangString StrRemoveSettings ${LANG_ENGLISH} "Remove VITRELL's settings too?$\r$\n(HKEY_CURRENT_USER\${SETTINGS_KEY})"
LangString StrRemoveSettings ${LANG_JAPANESE} "ビトレルの設定も削除しますか?$\r$\n(HKEY_CURRENT_USER\${SETTINGS_KEY})"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "VITRELL"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "VITRELL setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"

; Stops while VITRELL runs: a silent run ends with EXIT_RUNNING, otherwise the user ends VITRELL and retries or
; cancels. Called before anything is written, so a run that stops changes nothing.
!macro DEFINE_STOP_WHILE_RUNNING un
Function ${un}StopWhileRunning
    look:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${VITRELL_MUTEX}") p .r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        Goto running
    ${EndIf}
    FindWindow $0 "${VITRELL_WINDOW_CLASS}"
    ${If} $0 P<> 0
        Goto running
    ${EndIf}
    ; The exe of a running process cannot be opened for writing (a sharing violation).
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\VITRELL.exe", i 0x40000000, i 0, p 0, i 3, i 0, p 0) p .r0 ?e'
    Pop $1
    ${If} $0 P<> -1
        System::Call 'kernel32::CloseHandle(p r0)'
    ${ElseIf} $1 = 32
        Goto running
    ${EndIf}
    Return
    running:
    ${If} ${Silent}
        SetErrorLevel ${EXIT_RUNNING}
        Quit
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StrRunning)" IDRETRY look
    SetErrorLevel ${EXIT_RUNNING}
    Quit
FunctionEnd
!macroend
!insertmacro DEFINE_STOP_WHILE_RUNNING ""
!insertmacro DEFINE_STOP_WHILE_RUNNING "un."

Section "$(StrProgram)" SecProgram
    SectionIn RO
    Call StopWhileRunning
    !insertmacro VITRELL_INSTALL_FILES
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "VITRELL for Windows"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\VITRELL.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(StrStartMenu)" SecStartMenu
SectionEnd

Section /o "$(StrDesktop)" SecDesktop
SectionEnd

Section "$(StrRun)" SecRun
SectionEnd

; The choices, also those an upgrade turns off. The uninstall entry remembers the shortcuts, so the uninstaller
; removes only those this setup made, and the next setup offers the same choices.
!macro APPLY_SHORTCUT section link value
    ${If} ${SectionIsSelected} ${section}
        CreateShortcut "${link}" "$INSTDIR\VITRELL.exe"
        WriteRegDWORD HKCU "${UNINSTALL_KEY}" "${value}" 1
    ${Else}
        ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "${value}"
        ${If} $0 = 1
            Delete "${link}"
        ${EndIf}
        WriteRegDWORD HKCU "${UNINSTALL_KEY}" "${value}" 0
    ${EndIf}
!macroend

Section "-Choices"
    !insertmacro APPLY_SHORTCUT ${SecStartMenu} "$SMPROGRAMS\VITRELL.lnk" "StartMenuShortcut"
    !insertmacro APPLY_SHORTCUT ${SecDesktop} "$DESKTOP\VITRELL.lnk" "DesktopShortcut"
    ${If} ${SectionIsSelected} ${SecRun}
        WriteRegStr HKCU "${RUN_KEY}" "VITRELL" '"$INSTDIR\VITRELL.exe"'
    ${Else}
        Call RemoveOwnRunValue
    ${EndIf}
SectionEnd

; Over an installed version the choices start as the user left them: the shortcuts the entry remembers and the
; Run value as it is now (the user may have turned it off elsewhere).
Function .onInit
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == ""
        Return
    ${EndIf}
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "StartMenuShortcut"
    ${If} $0 = 0
        !insertmacro UnselectSection ${SecStartMenu}
    ${EndIf}
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
    ${If} $0 = 1
        !insertmacro SelectSection ${SecDesktop}
    ${EndIf}
    ReadRegStr $0 HKCU "${RUN_KEY}" "VITRELL"
    ${If} $0 == ""
        !insertmacro UnselectSection ${SecRun}
    ${EndIf}
FunctionEnd

; The Run value goes only when it starts this copy.
!macro DEFINE_REMOVE_OWN_RUN_VALUE un
Function ${un}RemoveOwnRunValue
    ReadRegStr $0 HKCU "${RUN_KEY}" "VITRELL"
    ${If} $0 == '"$INSTDIR\VITRELL.exe"'
        DeleteRegValue HKCU "${RUN_KEY}" "VITRELL"
    ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_REMOVE_OWN_RUN_VALUE ""
!insertmacro DEFINE_REMOVE_OWN_RUN_VALUE "un."

Section "Uninstall"
    Call un.StopWhileRunning
    !insertmacro VITRELL_REMOVE_FILES
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "StartMenuShortcut"
    ${If} $0 = 1
        Delete "$SMPROGRAMS\VITRELL.lnk"
    ${EndIf}
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
    ${If} $0 = 1
        Delete "$DESKTOP\VITRELL.lnk"
    ${EndIf}
    Call un.RemoveOwnRunValue
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; A silent uninstall keeps the settings, for a later install.
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(StrRemoveSettings)" /SD IDNO IDNO done
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT}"
    done:
SectionEnd
