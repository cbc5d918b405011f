#!/usr/bin/env bash
# Usage: tools/wine-fonts.sh   (inside a Wine session: WINEPREFIX set, its server running)
# Pins what the program's font requests resolve to in the prefix, whatever
# other fonts the machine has. The program asks for "MS Shell Dlg", in the
# popups with the GB2312 character set. Wine maps that name to Tahoma, which
# it does not find here; it then takes any font that claims the character
# set, and a machine with Droid Sans Fallback (no Latin or Cyrillic glyphs)
# gets every popup row drawn as empty boxes. The name therefore goes to
# Liberation Sans, which holds Latin and Cyrillic, and its regular and bold
# faces draw the About box's Chinese from WenQuanYi Micro Hei through font
# linking (tools/setup.sh installs both fonts). A prefix made before these
# settings, or with other ones, is brought up to them: the settings are kept
# in the prefix beside it and applied again whenever they differ.
set -euo pipefail
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
cjk='wqy-microhei.ttc,WenQuanYi Micro Hei'
settings=(
  "FontSubstitutes|MS Shell Dlg|REG_SZ|Liberation Sans"
  "FontLink\\SystemLink|Liberation Sans|REG_MULTI_SZ|$cjk"
  "FontLink\\SystemLink|Liberation Sans Bold|REG_MULTI_SZ|$cjk"
)
stamp="$WINEPREFIX/quorvel-fonts.txt"
wanted=$(printf '%s\n' "${settings[@]}")
if [ "$(cat "$stamp" 2>/dev/null)" = "$wanted" ]; then exit 0; fi
for setting in "${settings[@]}"; do
  IFS='|' read -r subkey name type data <<<"$setting"
  wine reg add "$key\\$subkey" /v "$name" /t "$type" /d "$data" /f </dev/null >/dev/null 2>&1
done
printf '%s\n' "$wanted" >"$stamp"
