; The Corvask installer. scripts/package.sh runs makensis with
;   -DVERSION=1.2.3 -DBITS=32|64 -DSTAGE=<folder of the files to install> -DICON=<.ico>
;   -DOUTFILE=<installer>
; and -DAMD64 for the 64-bit program, whose installer is a 64-bit program itself.
; It installs into Program Files, adds a Start-menu shortcut, an entry in Add/Remove Programs and
; the .sr (result) and .opt (search options) file types; the uninstaller takes away exactly
; those, and leaves a file type alone that another program has taken since.
; The 32-bit and the 64-bit Corvask never stand side by side (they would share the Start-menu
; name and the file types): an installer that finds the other one's entry in Add/Remove
; Programs, which lives in the other registry view, says so and stops.

!ifdef AMD64
Target amd64-unicode
!define PROGRAM_FILES "$PROGRAMFILES64"
!define OWN_VIEW 64
!define OTHER_VIEW 32
!define OTHER_BITS 32
!else
Unicode true
!define PROGRAM_FILES "$PROGRAMFILES"
!define OWN_VIEW 32
!define OTHER_VIEW 64
!define OTHER_BITS 64
!endif
SetCompressor /SOLID lzma
; The installed files keep the time stamps of the package, not of the machine that built it.
SetDateSave on
RequestExecutionLevel admin
ManifestDPIAware true

!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Corvask"
!define PUBLISHER "Corvask developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvask"
!define RESULT_CLASS "Corvask.Result"
!define OPTIONS_CLASS "Corvask.Options"
; SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, 0, 0): Explorer shows the new icons at once.
!define NOTIFY_ASSOCIATIONS "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"

!define DISPLAY_NAME "${PRODUCT} (${BITS}-bit)"

Name "${PRODUCT} ${VERSION} (${BITS}-bit)"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
Icon "${ICON}"
UninstallIcon "${ICON}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} (${BITS}-bit) setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; One file type: its extension names our class, and the class opens the file with Corvask.
!macro AssociateType EXT CLASS DESCRIPTION
  WriteRegStr HKLM "Software\Classes\${EXT}" "" "${CLASS}"
  WriteRegStr HKLM "Software\Classes\${CLASS}" "" "${DESCRIPTION}"
  WriteRegStr HKLM "Software\Classes\${CLASS}\DefaultIcon" "" "$INSTDIR\Corvask.exe,0"
  WriteRegStr HKLM "Software\Classes\${CLASS}\shell\open\command" "" '"$INSTDIR\Corvask.exe" "%1"'
!macroend

; The class is ours and goes; the extension goes only while it still names our class, and its
; key only when nothing else is left in it.
!macro UnassociateType EXT CLASS
  DeleteRegKey HKLM "Software\Classes\${CLASS}"
  ReadRegStr $0 HKLM "Software\Classes\${EXT}" ""
  ${If} $0 == "${CLASS}"
    DeleteRegValue HKLM "Software\Classes\${EXT}" ""
  ${EndIf}
  DeleteRegKey /ifempty HKLM "Software\Classes\${EXT}"
!macroend

; Stops the install when the other build of Corvask is installed. A 32-bit installer on 32-bit
; Windows has no other view to look in (there, asking for the 64-bit view reads its own).
Function .onInit
  StrCpy $0 ""
!ifdef AMD64
  SetRegView ${OTHER_VIEW}
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "DisplayName"
!else
  ${If} ${RunningX64}
    SetRegView ${OTHER_VIEW}
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "UninstallString"
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "DisplayName"
  ${EndIf}
!endif
  ; Everything after this, files, file types and the Add/Remove entry, in this build's own view.
  SetRegView ${OWN_VIEW}
  ${If} $0 != ""
    ${If} $1 == ""
      StrCpy $1 "${PRODUCT}"
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP "The ${OTHER_BITS}-bit Corvask is installed on this computer, and the \
32-bit and the 64-bit Corvask cannot be installed side by side.$\r$\n$\r$\nRemove it first: it is \
listed as $\"$1$\" under Apps (Settings) or Programs and Features (Control Panel). Then run this \
setup again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView ${OWN_VIEW}
FunctionEnd

Section "Corvask"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\Corvask.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\THIRD-PARTY-NOTICES.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Corvask.exe" "" "$INSTDIR\Corvask.exe" 0

  !insertmacro AssociateType ".sr" "${RESULT_CLASS}" "Corvask result"
  !insertmacro AssociateType ".opt" "${OPTIONS_CLASS}" "Corvask search options"
  System::Call "${NOTIFY_ASSOCIATIONS}"

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Corvask.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  !insertmacro UnassociateType ".sr" "${RESULT_CLASS}"
  !insertmacro UnassociateType ".opt" "${OPTIONS_CLASS}"
  System::Call "${NOTIFY_ASSOCIATIONS}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; Only the files we put there: anything the user added keeps the folder.
  Delete "$INSTDIR\Corvask.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
