#!/usr/bin/env bash
# The Windows launcher's tests under Wine: builds the test helpers (the message-box probe and
# the stand-in runtime library) with mingw-w64, then runs the table of cases in
# launcher_wine_test.py. Needs build/windows/launcher.exe and package-app.exe
# (scripts/build-windows). Uses a Wine prefix of its own, since the cases rewrite the
# registry and select Wine's null display driver.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build="$root/build/windows"
helpers="$build/launcher-tests"
export WINEPREFIX="$build/wineprefix-launcher"
trap '"$root/scripts/wine-run" --stop' EXIT

for file in launcher.exe package-app.exe; do
  if [ ! -f "$build/$file" ]; then
    echo "launcher wine tests: $build/$file is missing (run scripts/build-windows)" >&2
    exit 1
  fi
done

mkdir -p "$helpers"
flags=(-O2 -Wall -Wextra -Werror)
x86_64-w64-mingw32-gcc "${flags[@]}" -municode -o "$helpers/launcher_probe.exe" \
  "$here/launcher_probe.c" -lversion
x86_64-w64-mingw32-gcc "${flags[@]}" -shared -o "$helpers/cvvm.dll" "$here/standin_runtime.c"
x86_64-w64-mingw32-gcc "${flags[@]}" -shared -DSTANDIN_WITHOUT_ENTRIES \
  -o "$helpers/cvvm-without-entries.dll" "$here/standin_runtime.c"

/usr/bin/python3 "$here/launcher_wine_test.py" "$build" "$helpers"
