# Sourced by the scripts that run Windows programs. A session is one Wine
# prefix that belongs to the build tree, one Xvfb display of its own and one
# warm wineserver; wine_session_stop ends everything the session started.
# Nothing here touches the developer's own display or prefix.

wine_session_start() {
  local prefix=$1
  export WINEPREFIX=$prefix
  export WINEARCH=win64
  # Wine's error channel stays on: when a program fails for a reason of
  # Wine's own, that line is the only account of it. ("-all" first also
  # keeps Debian's wine launcher from printing its wine32 hint every time.)
  export WINEDEBUG=${WINEDEBUG:--all,err+all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export USER=${USER:-$(id -un)}
  mkdir -p "$(dirname "$prefix")"

  # A display of our own, whether or not the caller has one.
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  BRK_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done

  wine_prefix_prepare "$WINEPREFIX"
  BRK_WINE_SESSION=1
}

# Makes the Wine prefix `prefix` ready for the tests (created on first use)
# and starts its server, warmed up outside any pipe. The session's prefix is
# one; a test may prepare another (a screen of another resolution, say).
# A step that fails is named on the error channel, with what Wine printed.
wine_prefix_prepare() {
  local prefix=$1
  (
    export WINEPREFIX=$prefix
    mkdir -p "$(dirname "$prefix")"
    if [ ! -f "$prefix/system.reg" ]; then
      wine_once_more wineboot -i || exit 1
      wineserver -w
    fi

    # Wine 8 does not load the Tahoma of fonts-wine from where Debian puts it.
    local fonts="$prefix/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for f in tahoma.ttf tahomabd.ttf; do
      [ -f "$fonts/$f" ] || cp "/usr/share/wine/fonts/$f" "$fonts/" 2>/dev/null || true
    done

    # A fresh prefix links Desktop, Documents and the like to $HOME: make them
    # real folders so that nothing a test writes lands in the home folder.
    local profile="$prefix/drive_c/users/${USER:-$(id -un)}"
    local link
    for link in "$profile"/*; do
      if [ -L "$link" ]; then
        rm -f "$link" && mkdir -p "$link"
      fi
    done

    # One server for the prefix, warmed up outside any pipe: otherwise Wine's
    # services inherit the test runner's pipes and every test waits. (A
    # server that already runs makes -p fail harmlessly.)
    wineserver -p </dev/null >/dev/null 2>&1
    wine_once_more wine cmd /c exit || exit 1

    # Keyboard cues (focus cues, underlined access keys) as Windows has them
    # by default: hidden until the keyboard is used. A fresh Wine prefix shows
    # them always (bit 0x20 of the mask's first byte).
    wine_once_more wine reg add 'HKCU\Control Panel\Desktop' /v UserPreferencesMask /t REG_BINARY \
      /d 1000028012000000 /f || exit 1

    # A program that crashes prints its backtrace and ends, instead of waiting
    # behind a crash dialog on a display that nobody looks at.
    wine_once_more wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f || exit 1
  )
}

# Runs a Wine command that does no harm when repeated. Now and then Wine
# fails to start a process at all (see wine-test-run); a failed run is noted
# where the test command lists such retries and is started once more. Its
# output goes to a file, never a pipe, since a Wine service started on the
# way would hold a pipe open. A second failure is reported with that output.
wine_once_more() {
  local out attempt rc=0
  out=$(mktemp)
  for attempt in 1 2; do
    "$@" </dev/null >"$out" 2>&1 && { rm -f "$out"; return 0; }
    rc=$?
    if [ "$attempt" -eq 1 ]; then
      local note="$*: ended with code $rc ($(tr '\n' ' ' <"$out" | cut -c1-300)); started once more"
      echo "wine-session: $note" >&2
      [ -n "${BRK_WINE_RETRY_LOG:-}" ] && echo "$note" >>"$BRK_WINE_RETRY_LOG"
    fi
  done
  echo "wine-session: $* failed twice, last with code $rc:" >&2
  sed 's/^/  /' "$out" >&2
  rm -f "$out"
  return "$rc"
}

wine_session_stop() {
  [ -n "${BRK_WINE_SESSION:-}" ] || return 0
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${BRK_XVFB_PID:-}" ]; then
    kill "$BRK_XVFB_PID" 2>/dev/null || true
    wait "$BRK_XVFB_PID" 2>/dev/null || true
  fi
  BRK_WINE_SESSION=
}

# Turns a Linux path into the path a Windows program under Wine sees.
wine_path() {
  winepath -w "$1" 2>/dev/null
}
