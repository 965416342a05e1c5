#!/bin/sh
# A fresh Wine prefix for the Windows program's tests, which each run on a copy of it. Wine's
# windows stay unmanaged there: without a window manager, closing a managed one takes 2 s.
set -eu
prefix=$1
rm -rf "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all
# No .NET or HTML engine: Wine would offer to download them, and nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
wineserver --wait
