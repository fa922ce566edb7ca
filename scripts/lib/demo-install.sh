# Sourced by scripts/run inside a Wine session. Provisions a demo install of
# the product in the session's prefix when none is registered: a folder of
# sample files registered as the product's "InstallLocation" (32-bit view of
# the uninstall key, as the product's own installer writes it) and the
# product's settings file "Main.ini" with a language.

BRK_UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Brightkeep 8_is1'

demo_install_present() {
  wine reg query "$BRK_UNINSTALL_KEY" /v InstallLocation /reg:32 </dev/null >/dev/null 2>&1
}

# demo_install_provision <language>
demo_install_provision() {
  local language=${1:-English}
  local win_dir='C:\Program Files (x86)\Brightkeep 8\'
  local dir="$WINEPREFIX/drive_c/Program Files (x86)/Brightkeep 8"
  local winsys="$WINEPREFIX/drive_c/windows/system32"
  mkdir -p "$dir"/{Languages,Skins/Default,Help,Plugins/Sync,Plugins/Backup/Data}

  # Programs and libraries: real PE files from Wine's own install.
  cp "$winsys/notepad.exe" "$dir/Brightkeep.exe"
  cp "$winsys/cmd.exe" "$dir/BrightkeepHelper.exe"
  local i=0 f
  for f in "$winsys"/{comctl32,riched20,msxml3,gdiplus,oleaut32,shell32}.dll; do
    [ -f "$f" ] && cp "$f" "$dir/" && i=$((i + 1))
  done
  # Texts, pictures and data of the kinds an installed product carries.
  for lang in English German French Spanish Japanese Chinese; do
    printf '[Main]\nDisplayName=%s\nVersion=8.0\n' "$lang" >"$dir/Languages/$lang.lng"
  done
  cp /usr/share/common-licenses/GPL-3 "$dir/License.txt" 2>/dev/null || echo "License" >"$dir/License.txt"
  for n in $(seq 1 40); do
    convert -size 48x48 "xc:hsl($((n * 9)),60%,50%)" "$dir/Skins/Default/icon$n.png" 2>/dev/null
  done
  for n in $(seq 1 150); do
    printf '<html><body><h1>Topic %d</h1><p>%s</p></body></html>\n' "$n" \
      "$(head -c 2000 /dev/urandom | base64 -w 0 | head -c $((n * 20)))" >"$dir/Help/topic$n.html"
  done
  head -c 3000000 /dev/urandom >"$dir/Plugins/Backup/Data/payload.bin"
  : >"$dir/Plugins/Sync/empty.cfg"
  echo "portable=1" >"$dir/.settings"

  wine reg add "$BRK_UNINSTALL_KEY" /v InstallLocation /t REG_SZ /d "$win_dir" /reg:32 /f \
    </dev/null >/dev/null 2>&1
  wine reg add "$BRK_UNINSTALL_KEY" /v DisplayName /t REG_SZ /d "Brightkeep 8" /reg:32 /f \
    </dev/null >/dev/null 2>&1

  local roaming="$WINEPREFIX/drive_c/users/$USER/AppData/Roaming/Halvane/Brightkeep V8"
  mkdir -p "$roaming"
  printf '[Main]\r\nLanguage=%s\r\n' "$language" >"$roaming/Main.ini"
  echo "run: demo install of Brightkeep provisioned in $dir ($language)"
}
