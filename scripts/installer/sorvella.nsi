; The per-user installer of Sorvella. It needs no administrator rights and installs into the
; user's own programs folder, where config.json beside the executable stays writable.
; scripts/build-windows.sh builds it and defines:
;   VERSION    the project version, e.g. 1.2.0
;   FILES_NSH  the generated lists of that folder's files (macros InstallFiles, UninstallFiles)
;   ICON_FILE  the program's .ico
;   OUT_FILE   the installer to write
; Both the installer and its uninstaller run silently with /S.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PRODUCT "Sorvella"
!define PUBLISHER "tidyforge"
!define EXE "Sorvella.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The program's autorun value, under the Run key and its WOW6432Node twin.
!define AUTORUN_VALUE "tidyforge_sorvella"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_KEY_WOW "Software\WOW6432Node\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright © 2026 ${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "${FILES_NSH}"

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the fallback; the user's own language is chosen when it is listed.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString DeleteSettingsQuestion ${LANG_ENGLISH} "Also delete your Sorvella settings (config.json)?"
LangString DeleteSettingsQuestion ${LANG_SIMPCHINESE} "同时删除 Sorvella 的设置文件 (config.json) 吗？"

; Ends a running Sorvella started from this installation, so that its files can be replaced
; or removed. Its window only hides on a close request, so the process itself is ended; a copy
; of the program elsewhere is left alone, as is every other process. Uses $0 to $8.
!macro EndInstalledProgram
    System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p .r0' ; TH32CS_SNAPPROCESS
    ${If} $0 P<> -1
        ; PROCESSENTRY32W: dwSize, cntUsage, th32ProcessID, padding, th32DefaultHeapID,
        ; th32ModuleID, cntThreads, th32ParentProcessID, pcPriClassBase, dwFlags, szExeFile.
        System::Alloc 568
        Pop $1
        System::Call '*$1(i 568)'
        System::Call 'kernel32::Process32FirstW(p r0, p r1) i .r2'
        ${DoWhile} $2 <> 0
            System::Call '*$1(i, i, i .r3, i, l, i, i, i, i, i, &w260 .r4)'
            ${If} $4 == "${EXE}"
                ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE
                System::Call 'kernel32::OpenProcess(i 0x101001, i 0, i r3) p .r5'
                ${If} $5 P<> 0
                    StrCpy $7 ${NSIS_MAX_STRLEN}
                    System::Call 'kernel32::QueryFullProcessImageNameW(p r5, i 0, w .r6, *i r7) i .r8'
                    ; The comparison ignores letter case, as the file system does.
                    ${If} $8 <> 0
                    ${AndIf} $6 == "$INSTDIR\${EXE}"
                        DetailPrint "Ending the running ${PRODUCT} (process $3)"
                        System::Call 'kernel32::TerminateProcess(p r5, i 1)'
                        System::Call 'kernel32::WaitForSingleObject(p r5, i 10000)'
                    ${EndIf}
                    System::Call 'kernel32::CloseHandle(p r5)'
                ${EndIf}
            ${EndIf}
            System::Call 'kernel32::Process32NextW(p r0, p r1) i .r2'
        ${Loop}
        System::Free $1
        System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
!macroend

Section "Install"
    !insertmacro EndInstalledProgram
    ; Only the program's own files are written: a config.json from an earlier installation
    ; stays as it is.
    !insertmacro InstallFiles
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    SetShellVarContext current
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    !insertmacro EndInstalledProgram
    !insertmacro UninstallFiles
    Delete "$INSTDIR\${UNINSTALLER}"
    ; The settings are the user's: asked for, and kept by a silent uninstall.
    ${If} ${FileExists} "$INSTDIR\config.json"
        MessageBox MB_YESNO|MB_ICONQUESTION "$(DeleteSettingsQuestion)" /SD IDNO IDNO keepSettings
        Delete "$INSTDIR\config.json"
        keepSettings:
    ${EndIf}
    RMDir "$INSTDIR"

    SetShellVarContext current
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegValue HKCU "${RUN_KEY}" "${AUTORUN_VALUE}"
    DeleteRegValue HKCU "${RUN_KEY_WOW}" "${AUTORUN_VALUE}"
SectionEnd
