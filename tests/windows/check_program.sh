#!/usr/bin/env bash
# Checks the Windows program as it is built and as the zip holds it: a 64-bit windowed (GUI)
# program with ASLR (relocations and high-entropy addresses) and DEP, that imports only Windows'
# own DLLs, whose version resource holds the project's version, whose one icon has the four
# sizes, and whose manifest runs it as the invoker.
# Usage: check_program.sh FUNNIES_EXE ZIP VERSION
set -euo pipefail

readonly program=${1:?usage: $0 FUNNIES_EXE ZIP VERSION} zip=${2:?} version=${3:?}
readonly windowsDlls='^(kernel32|user32|gdi32|msvcrt|ole32|oleaut32|advapi32|shell32|comdlg32|winmm|ddraw|dsound|dinput|dinput8)\.dll$'
readonly iconSizes="16 32 48 256"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

check() {
  local exe=$1 headers dlls
  headers=$(x86_64-w64-mingw32-objdump -p "$exe")
  grep -qP '^Magic\t+020b\t\(PE32\+\)$' <<<"$headers" || fail "$exe is not a 64-bit (PE32+) program"
  grep -qP '^Subsystem\t+00000002\t\(Windows GUI\)$' <<<"$headers" || fail "$exe is not a GUI program"
  for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
    grep -qP "^\t+$flag$" <<<"$headers" || fail "$exe lacks $flag"
  done
  # Without relocations Windows cannot move the program, whatever DYNAMIC_BASE says.
  x86_64-w64-mingw32-objdump -h "$exe" | grep -q ' \.reloc ' || fail "$exe has no relocations"
  dlls=$(sed -n 's/^\tDLL Name: //p' <<<"$headers")
  while read -r dll; do
    [[ ${dll,,} =~ $windowsDlls ]] || fail "$exe imports $dll, which is not one of Windows' own"
  done <<<"$dlls"

  local strings
  strings=$(wrestool -x --raw --type=16 "$exe" | strings -el | tr '\n' '|')
  for field in "FileVersion|$version|" "ProductVersion|$version|" "ProductName|funnies|" \
    "OriginalFilename|funnies.exe|" "CompanyName|funnies developers|"; do
    [[ $strings == *"|$field"* ]] || fail "$exe: the version resource lacks '${field//|/ }'"
  done
  [[ $strings =~ \|LegalCopyright\|Copyright\ \(c\)\ [0-9]{4}\ funnies\ developers,\ MIT\ License\| ]] ||
    fail "$exe: no MIT copyright of funnies developers in the version resource"

  wrestool -x --type=14 "$exe" >"$work/icon.ico"
  local sizes
  sizes=$(icotool -l "$work/icon.ico" | sed -E 's/.*--width=([0-9]+).*/\1/' | tr '\n' ' ')
  [ "$sizes" = "$iconSizes " ] || fail "$exe: the icon has the sizes '$sizes', not '$iconSizes'"
  [ "$(wrestool -l --type=14 "$exe" | wc -l)" -eq 1 ] || fail "$exe: more than one icon"

  wrestool -x --raw --type=24 "$exe" | grep -q 'requestedExecutionLevel level="asInvoker"' ||
    fail "$exe: the manifest does not run it as the invoker"
  echo "$exe: 64-bit GUI program, ASLR and DEP, imports $(tr '\n' ' ' <<<"$dlls")"
  echo "  version $version, icon of $iconSizes pixels, run as invoker"
}

check "$program"
unzip -q -d "$work/zip" "$zip" funnies.exe
check "$work/zip/funnies.exe"
echo "check_program: both programs pass"
