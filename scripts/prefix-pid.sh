# Sourced by the measuring scripts, inside scripts/wine-session.sh.
# prefix_pid NAME: the process of that name that runs in this session's Wine
# prefix (other sessions may run savers and wineservers of their own, in
# other prefixes). Linux cuts process names to 15 characters.
prefix_pid() {
  local pid
  for pid in $(pgrep -x "$1"); do
    if { tr '\0' '\n' < "/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null; then
      echo "$pid"
      return
    fi
  done
}
