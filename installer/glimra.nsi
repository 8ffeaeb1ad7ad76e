; The installer of Glimra: per user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Glimra (the user may choose another folder).
; Built by the win64 and win32 presets:
;   makensis -DFLAVOUR=x64|x86 -DEXE=... -DLANGFILE=... -DICON=... -DOUT=... glimra.nsi
; /S installs silently, /D=folder (last on the command line) names the folder.
; The x64 installer also takes -DOCR=folder: glimra_ocr.dll and tessdata\ in that
; folder, the built-in text recogniser, which it installs as a component of its
; own ("Text recognition", ticked at first; /NoTextRecognition unticks it for a
; silent installation).
; Both flavours install into the same folder under the same Uninstall entry, so
; that one "Glimra" is listed in Apps: the x64 installer replaces a 32-bit Glimra
; in place, keeping its settings, start-up entry and Uninstall entry; the x86
; installer refuses to replace a 64-bit one.
!if "${FLAVOUR}" == "x64"
    Target amd64-unicode
!else if "${FLAVOUR}" == "x86"
    Target x86-unicode
    ; The flavour whose installation this one does not replace. (The 64-bit
    ; tests build an x64 installer with it set, since this one cannot run there.)
    !define /ifndef REFUSES x64
!else
    !error "FLAVOUR must be x64 or x86"
!endif
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include Sections.nsh

!define NAME "Glimra"
!define VERSION "1.3"
!define PUBLISHER "Norvanta"
!define CAPTION "Norvanta Glimra 1.3"
!define MUTEX "Local\Norvanta Glimra 1.3"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimra"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Norvanta\Glimra 1.3"

Name "${NAME} ${VERSION} (${FLAVOUR})"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\Glimra"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "1.3.0.0"
VIAddVersionKey "ProductName" "${NAME}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "Glimra setup (${FLAVOUR})"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running Glimra to end: its main window gets WM_CLOSE, as when the user
; closes it (the program then stores its settings), and the single-instance
; mutex shows when the process has gone. Sets $R0 to 1 when none runs any more.
!macro CloseRunningGlimra un
Function ${un}CloseRunningGlimra
    StrCpy $R0 1
    StrCpy $R1 0
    loop:
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${MUTEX}") p .R2'
        ${If} $R2 P= 0
            Return
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p R2)'
        FindWindow $R3 "" "${CAPTION}"
        ${If} $R3 P<> 0
            SendMessage $R3 ${WM_CLOSE} 0 0 /TIMEOUT=2000
        ${EndIf}
        IntOp $R1 $R1 + 1
        ${If} $R1 > 50
            StrCpy $R0 0
            Return
        ${EndIf}
        Sleep 200
        Goto loop
FunctionEnd
!macroend
!insertmacro CloseRunningGlimra ""
!insertmacro CloseRunningGlimra "un."

; The text recogniser's files: the DLL, the models and their list.
!macro RemoveTextRecognition
    Delete "$INSTDIR\glimra_ocr.dll"
    Delete "$INSTDIR\tessdata\eng.traineddata"
    Delete "$INSTDIR\tessdata\deu.traineddata"
    Delete "$INSTDIR\tessdata\models.txt"
    RMDir "$INSTDIR\tessdata"
!macroend

; Ends a running Glimra first; where it does not end, or its file is still in
; use, nothing is replaced and the user is told.
!macro MakeWayFor un
    Call ${un}CloseRunningGlimra
    ${If} $R0 != 1
        MessageBox MB_OK|MB_ICONSTOP "Glimra is still running. Close it and try again." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\glimra.exe"
        ClearErrors
        FileOpen $R4 "$INSTDIR\glimra.exe" a
        ${If} ${Errors}
            MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\glimra.exe is in use. Close Glimra and try again." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        FileClose $R4
    ${EndIf}
!macroend

Section "Glimra" SecProgram
    SectionIn RO
    SetShellVarContext current
    !insertmacro MakeWayFor ""
    SetOverwrite on
    SetOutPath "$INSTDIR"
    File "/oname=glimra.exe" "${EXE}"
    SetOutPath "$INSTDIR\Lang"
    File "/oname=Deutsch.lng" "${LANGFILE}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    ; The shortcut starts in the install folder (the output path).
    CreateShortcut "$SMPROGRAMS\Glimra.lnk" "$INSTDIR\glimra.exe" "" "$INSTDIR\glimra.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\glimra.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Flavour" "${FLAVOUR}"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

!ifdef OCR
; The built-in text recogniser: Tesseract in a DLL of its own, and its English
; and German models with the list the program checks them against.
Section "Text recognition" SecTextRecognition
    SetOutPath "$INSTDIR"
    File "/oname=glimra_ocr.dll" "${OCR}/glimra_ocr.dll"
    SetOutPath "$INSTDIR\tessdata"
    File "${OCR}/tessdata/eng.traineddata"
    File "${OCR}/tessdata/deu.traineddata"
    File "${OCR}/tessdata/models.txt"
    SetOutPath "$INSTDIR"
SectionEnd
!endif

Section /o "Start Glimra when Windows starts" SecStartup
    WriteRegStr HKCU "${RUN_KEY}" "Glimra" '"$INSTDIR\glimra.exe"'
SectionEnd

; Unticked over an installation that starts with Windows: it no longer does.
; Text recognition unticked over an installation that has it: its files go.
; The size is the installation's as it ends up.
Section "-"
    ${IfNot} ${SectionIsSelected} ${SecStartup}
        DeleteRegValue HKCU "${RUN_KEY}" "Glimra"
    ${EndIf}
!ifdef OCR
    ${IfNot} ${SectionIsSelected} ${SecTextRecognition}
        !insertmacro RemoveTextRecognition
    ${EndIf}
!endif
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function .onInit
!ifdef REFUSES
    ; A 64-bit Glimra of this user is not replaced by the 32-bit one: that would
    ; leave the user a slower program with less memory, without asking.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "Flavour"
    ${If} $0 == "${REFUSES}"
        ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
        MessageBox MB_OK|MB_ICONSTOP "The 64-bit Glimra is installed in $1.$\r$\n$\r$\nThis is the installer of the 32-bit Glimra, which does not replace it. Run glimra-${VERSION}-x64-setup.exe instead, or uninstall the 64-bit Glimra first." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
!endif
    ; An installation that starts with Windows keeps doing so, also when the
    ; other flavour is installed over it.
    ReadRegStr $0 HKCU "${RUN_KEY}" "Glimra"
    ${If} $0 != ""
        !insertmacro SelectSection ${SecStartup}
    ${EndIf}
!ifdef OCR
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/NoTextRecognition" $1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecTextRecognition}
    ${EndIf}
!endif
FunctionEnd

Section "Uninstall"
    SetShellVarContext current
    !insertmacro MakeWayFor "un."
    Delete "$INSTDIR\glimra.exe"
    !insertmacro RemoveTextRecognition
    Delete "$INSTDIR\Lang\Deutsch.lng"
    RMDir "$INSTDIR\Lang"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Glimra.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "Glimra"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; The settings stay unless the user says otherwise (and always with /S).
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON1 \
        "Keep your Glimra settings (capture counts, language, tools)?" /SD IDYES IDYES keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Norvanta"
    keep:
SectionEnd
