; The Windows installer (Debian's nsis; scripts/windows.sh gives VERSION, STAGE, the folder of
; the programs and their DLLs, OUTFILE, and FILES, the lists of what each part installs and
; the uninstaller removes, so that it removes nothing else: the user's cups stay).
Unicode true
SetCompressor /SOLID lzma
!include "MUI2.nsh"

Name "Velmorin ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Velmorin"
InstallDirRegKey HKLM "Software\Velmorin" "Dossier"
RequestExecutionLevel admin
BrandingText "Velmorin ${VERSION}"

!define MUI_ICON "velmorin.ico"
!define MUI_UNICON "velmorin.ico"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\velmorin.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmorin"
!include "${FILES}"

Section "Velmorin" SectionWindow
    SectionIn RO
    SetShellVarContext all
    !insertmacro InstallWindow
    CreateShortCut "$SMPROGRAMS\Velmorin.lnk" "$INSTDIR\velmorin.exe" "" "$INSTDIR\velmorin.exe" 0
    ; A double click on a .velmorin file opens the cup in Velmorin.
    WriteRegStr HKCR ".velmorin" "" "Velmorin.Coupe"
    WriteRegStr HKCR "Velmorin.Coupe" "" "Coupe Velmorin"
    WriteRegStr HKCR "Velmorin.Coupe\DefaultIcon" "" "$INSTDIR\velmorin.exe,0"
    WriteRegStr HKCR "Velmorin.Coupe\shell\open\command" "" '"$INSTDIR\velmorin.exe" "%1"'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    WriteRegStr HKLM "Software\Velmorin" "Dossier" "$INSTDIR"
    WriteUninstaller "$INSTDIR\desinstaller.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmorin"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmorin.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\desinstaller.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Unticked unless asked for.
Section /o "Calculatrice en ligne de commande (velmorin-calc)" SectionCalculator
    !insertmacro InstallCalculator
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Velmorin.lnk"
    !insertmacro RemoveAll
    Delete "$INSTDIR\desinstaller.exe"
    RMDir "$INSTDIR"
    ; The file type only if it is still ours.
    ReadRegStr $0 HKCR ".velmorin" ""
    StrCmp $0 "Velmorin.Coupe" 0 +2
    DeleteRegKey HKCR ".velmorin"
    DeleteRegKey HKCR "Velmorin.Coupe"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    DeleteRegKey HKLM "Software\Velmorin"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
