#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix kept inside the build folder
# (the build passes it in WINEPREFIX). The prefix is made once, under a lock, so
# that tests started in parallel never race to create it.
set -euo pipefail

: "${WINEPREFIX:?set WINEPREFIX to the Wine prefix of the build}"
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Without a display Wine's message boxes return at once instead of waiting.
unset DISPLAY WAYLAND_DISPLAY

exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.ready" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  # A crashing test must fail, not wait on a dialog or a debugger.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 0 /f >/dev/null 2>&1
  wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
  wineserver -w
  touch "$WINEPREFIX/.ready"
fi
# One server for the whole run, started under the lock and kept a minute
# after its last client: a server that quits when idle can drop the next
# test's connection ("recvmsg: Connection reset by peer"). A new server's
# own Windows processes (services and the like) are started here with no
# output attached: started by a test, they would hold its output open, and
# the test runner would wait on it as long as the server lives.
if wineserver -p 60 >/dev/null 2>&1; then
  wineboot >/dev/null 2>&1 </dev/null || true
fi
flock -u 9
exec 9>&-
exec wine "$@"
