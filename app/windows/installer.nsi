; The installer a school's administrator runs: installs for all users into a folder where
; examinees may write the journal, with shortcuts, an entry among the installed programs and an
; uninstaller that never deletes the journal. Silent with /S; /D=FOLDER sets the folder;
; /RESULTS=FOLDER names a results folder (a class's shared folder) in merilon.ini.
;
; makensis -DVERSION=1.1.1.1 -DOUTFILE=<setup.exe> -DICON=<merilon.ico>
;          -DFILES=<File commands> -DUNFILES=<Delete commands>   (written by scripts/windows.sh)
;          [-DLEGACY]   the package for older computers (Qt 5.15): Windows 7 SP1 and later
;          [-DX86]      a 32-bit program, which runs on 32- and 64-bit Windows alike
!ifdef X86
Target x86-unicode
!else
; A 64-bit installer for a 64-bit program (a 32-bit Windows refuses to start it at all).
Target amd64-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinVer.nsh"
!include "x64.nsh"

!define PRODUCT "Мерилон"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Merilon"

Name "${PRODUCT}"
Caption "Установка программы ${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; The program keeps its journal in its own folder, so the default is a folder that users may
; write to, not Program Files; users get modify rights on whatever folder is chosen.
InstallDir "C:\Merilon"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка программы ${PRODUCT}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© 2026 Разработчики программы ${PRODUCT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\merilon.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Прочтите.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Открыть «Прочтите.txt»"
!define MUI_DIRECTORYPAGE_TEXT_TOP "Программа хранит журнал результатов Journal.res в своей папке, поэтому ученики должны иметь право записи в неё. Программа установки сама даст это право группе «Пользователи». Не выбирайте папку внутри Program Files."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
Page custom ResultsPage ResultsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; The results folder: empty keeps the journal beside the program.
Var ResultsFolder
Var ResultsField

Function .onInit
!ifdef LEGACY
    ; Qt 5.15 needs Windows 7 with Service Pack 1 or later.
    ${IfNot} ${AtLeastWin7}
        MessageBox MB_ICONSTOP|MB_OK "Программа ${PRODUCT} работает в Windows 7 с пакетом обновления 1 (SP1) и в более новых выпусках Windows.$\r$\n$\r$\nWindows XP и Windows Vista не поддерживаются:$\r$\nустановить программу на этот компьютер нельзя." /SD IDOK
        SetErrorLevel 3
        Quit
    ${EndIf}
    ${If} ${IsWin7}
    ${AndIfNot} ${AtLeastServicePack} 1
        MessageBox MB_ICONSTOP|MB_OK "Программе ${PRODUCT} нужна Windows 7 с пакетом обновления 1 (SP1).$\r$\n$\r$\nУстановите пакет обновления 1 через Центр обновления Windows$\r$\nи запустите установку снова." /SD IDOK
        SetErrorLevel 3
        Quit
    ${EndIf}
    ; Where the main package runs (64-bit Windows 10 1809 and later), it is the better choice.
    ${If} ${RunningX64}
    ${AndIf} ${AtLeastWin10}
    ${AndIf} ${AtLeastBuild} 17763
        MessageBox MB_ICONQUESTION|MB_YESNO "Это пакет программы ${PRODUCT} для старых компьютеров (Windows 7 SP1, 8.1 и ранние выпуски Windows 10).$\r$\n$\r$\nНа этом компьютере лучше работает основной пакет: Merilon-${VERSION}-setup.exe.$\r$\n$\r$\nВсё равно установить пакет для старых компьютеров?" /SD IDYES IDYES legacy_anyway
        SetErrorLevel 2
        Quit
        legacy_anyway:
    ${EndIf}
!else
    ; Qt 6 needs Windows 10 version 1809 (build 17763) or later; on an older Windows the
    ; program would not start at all.
    ${IfNot} ${AtLeastWin10}
    ${OrIfNot} ${AtLeastBuild} 17763
        MessageBox MB_ICONSTOP|MB_OK "Эта версия программы ${PRODUCT} работает в Windows 10 версии 1809 и новее и в Windows 11.$\r$\n$\r$\nНа этом компьютере Windows старее. Для Windows 7 SP1, 8.1 и ранних выпусков Windows 10 установите пакет для старых компьютеров: Merilon-${VERSION}-win32-legacy." /SD IDOK
        SetErrorLevel 3
        Quit
    ${EndIf}
!endif
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/RESULTS=" $ResultsFolder
FunctionEnd

Function ResultsPage
    !insertmacro MUI_HEADER_TEXT "Папка для результатов" "Где вести журнал результатов (можно не указывать)"
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 56u "Оставьте поле пустым, и журнал Journal.res будет в папке программы.$\r$\n$\r$\nЧтобы результаты всех компьютеров класса собирались в один журнал, укажите общую папку на сервере, например \\server\results\7a. Ученики должны иметь право записи в неё. Если папка недоступна, результат сохраняется в папке пользователя и переносится в журнал позже."
    Pop $0
    ${NSD_CreateText} 0 62u 76% 13u "$ResultsFolder"
    Pop $ResultsField
    ${NSD_CreateBrowseButton} 78% 61u 22% 15u "Обзор..."
    Pop $0
    ${NSD_OnClick} $0 BrowseResults
    nsDialogs::Show
FunctionEnd

Function BrowseResults
    nsDialogs::SelectFolderDialog "Папка для результатов" "$ResultsFolder"
    Pop $0
    StrCmp $0 "error" +2
    ${NSD_SetText} $ResultsField $0
FunctionEnd

Function ResultsPageLeave
    ${NSD_GetText} $ResultsField $ResultsFolder
FunctionEnd

Section "Мерилон" SecMain
    SectionIn RO
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; Examinees write the journal here: the Users group (by its SID, whatever the system's
    ; language) may modify the folder and what is created in it.
    nsExec::ExecToLog 'icacls "$INSTDIR" /grant *S-1-5-32-545:(OI)(CI)M'
    Pop $0

    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\merilon.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\Справка.lnk" "$INSTDIR\Help-T.chm"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\Прочтите.lnk" "$INSTDIR\Прочтите.txt"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\Удалить ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"
    CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\merilon.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Разработчики программы ${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\merilon.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

    ; The results folder goes into merilon.ini beside the program; the uninstaller removes the
    ; file only when this installer wrote it.
    StrCmp $ResultsFolder "" results_done
    ClearErrors
    FileOpen $0 "$INSTDIR\merilon.ini" w
    IfErrors results_done
    FileWriteUTF16LE /BOM $0 "; Записано программой установки. Журнал результатов ведётся в этой папке.$\r$\n[Журнал]$\r$\nПапка=$ResultsFolder$\r$\n"
    FileClose $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "WroteSettings" 1
    results_done:
SectionEnd

; Removes exactly what was installed. The journal Journal.res (and its lock file) stays, and
; so does the folder that holds it.
Section "Uninstall"
    SetShellVarContext all
    !include "${UNFILES}"
    ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "WroteSettings"
    IntCmp $0 1 0 settings_kept settings_kept
    Delete "$INSTDIR\merilon.ini"
    settings_kept:
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}\*.lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"
    Delete "$DESKTOP\${PRODUCT}.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
