#!/usr/bin/env bash
# Builds the release files under build/dist/: for the i686 product and for x86_64, a
# portable zip (pairex.exe, pairex-diff.exe, README.txt, LICENSE.txt) and an MSI
# installer made with wixl (installs into Program Files\Pairex with a Start menu entry;
# uninstalling removes both). Prints the paths of the four files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

version=1.2732
dist=$root/build/dist
mkdir -p "$dist"

# Lines of text files for Windows end in CR LF.
crlf() {  # crlf IN OUT
    sed -e 's/\r$//' -e 's/$/\r/' "$1" >"$2"
}

write_licence() {  # write_licence OUT
    local text
    text=$(mktemp)
    cat >"$text" <<'EOF'
Pairex 1.2732
Copyright (C) 2026 the Pairex developers

Licence

You may use this program for any purpose, and copy and give away this package
unchanged. The program is provided as it is, without any warranty: the authors are
not liable for any damage arising from its use.

Notice

pairex.exe and pairex-diff.exe are linked with the run-time libraries of the
mingw-w64 GCC cross compiler: the GCC run-time and C++ standard libraries (GPL with
the GCC Runtime Library Exception, which allows this use), the mingw-w64 run-time
(public domain and permissive licences) and winpthreads (MIT licence: Copyright (c)
2011 mingw-w64 project; the software is provided "as is", without warranty of any
kind).
EOF
    crlf "$text" "$1"
    rm -f "$text"
}

# The installer's source; wixl reads the files from its folder. Each architecture has
# codes of its own, so that both can be installed side by side; the codes never change
# between versions.
write_wxs() {  # write_wxs OUT ARCH
    local out=$1 arch=$2 upgrade program menu win64 program_files
    if [ "$arch" = x64 ]; then
        upgrade=a9e0fdb5-fe66-4aa9-a705-15eafcb1dbde
        program=3f618ccb-1183-4b7e-82d6-19e732a8a2ee
        menu=22d30684-2b73-4376-9498-5c4de39f94c4
        win64=yes
        program_files=ProgramFiles64Folder
    else
        upgrade=46480ff7-8702-4050-ac91-cf7891cf3bfc
        program=d386c15f-3efa-498d-8e38-2eb451591018
        menu=6d1e7fc9-e5e1-459e-9dc4-18bb1c716d36
        win64=no
        program_files=ProgramFilesFolder
    fi
    cat >"$out" <<EOF
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Pairex" Language="1033" Version="$version.0"
           Manufacturer="The Pairex developers" UpgradeCode="$upgrade">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"
             Description="Pairex visual file merger" Comments="Version $version"/>
    <Media Id="1" Cabinet="pairex.cab" EmbedCab="yes"/>
    <Property Id="ARPCOMMENTS" Value="Visual file merger"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="$program_files">
        <Directory Id="INSTALLDIR" Name="Pairex">
          <Component Id="Program" Guid="$program" Win64="$win64">
            <File Id="pairex.exe" Name="pairex.exe" Source="pairex.exe" KeyPath="yes"/>
            <File Id="pairex_diff.exe" Name="pairex-diff.exe" Source="pairex-diff.exe"/>
            <File Id="README.txt" Name="README.txt" Source="README.txt"/>
            <File Id="LICENSE.txt" Name="LICENSE.txt" Source="LICENSE.txt"/>
          </Component>
        </Directory>
      </Directory>
      <Directory Id="ProgramMenuFolder">
        <Component Id="StartMenu" Guid="$menu" Win64="$win64">
          <Shortcut Id="PairexShortcut" Name="Pairex" Description="Visual file merger"
                    Target="[INSTALLDIR]pairex.exe" WorkingDirectory="INSTALLDIR"/>
          <RegistryValue Root="HKLM" Key="Software\\Pairex" Name="Start menu entry"
                         Type="integer" Value="1" KeyPath="yes"/>
        </Component>
      </Directory>
    </Directory>
    <Feature Id="Complete" Title="Pairex" Level="1">
      <ComponentRef Id="Program"/>
      <ComponentRef Id="StartMenu"/>
    </Feature>
  </Product>
</Wix>
EOF
}

package() {  # package PRESET NAME WIXL_ARCH
    local preset=$1 name=$2 arch=$3
    echo "package: building the $preset preset ..."
    cmake --preset "$preset" >"$root/build/configure-$preset.log" 2>&1 ||
        { cat "$root/build/configure-$preset.log"; return 1; }
    cmake --build --preset "$preset" --target pairex pairex-diff >/dev/null
    local stage=$dist/stage-$name
    rm -rf "$stage"
    mkdir -p "$stage"
    cp "build/$preset/ui/win32/pairex.exe" "build/$preset/cli/pairex-diff.exe" "$stage/"
    crlf README.md "$stage/README.txt"
    write_licence "$stage/LICENSE.txt"

    local zip=$dist/pairex-$version-$name.zip msi=$dist/pairex-$version-$name.msi
    rm -f "$zip" "$msi"
    (cd "$stage" && zip -q -X "$zip" pairex.exe pairex-diff.exe README.txt LICENSE.txt)
    write_wxs "$stage/pairex.wxs" "$arch"
    (cd "$stage" && wixl -a "$arch" -o "$msi" pairex.wxs)
    echo "$zip"
    echo "$msi"
}

package win32 i686 x86
package win64 x86_64 x64
