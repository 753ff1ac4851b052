# Sourced by the measuring scripts, inside scripts/wine-session.sh, with the
# saver's path in $scr. Sets, for a saver of either width:
#   wine   the Wine that runs it and the tools built beside it;
#   ini    the file it reads its settings from while win.ini names no data
#          folder: the 64-bit saver's under the user's application data, the
#          32-bit saver's win.ini. Its folder is made.
case $(file -b "$scr") in
  PE32+*)
    wine=/usr/lib/wine/wine64
    ini=$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Roaming/VelorinScreenSaver/VelorinTools.ini ;;
  *)
    wine=/usr/lib/wine/wine
    ini=$WINEPREFIX/drive_c/windows/win.ini ;;
esac
mkdir -p "$(dirname "$ini")"
