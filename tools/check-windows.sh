#!/usr/bin/env bash
# The Windows part of CI: cross-builds the engine, the unit tests and the
# benchmark for 64-bit Windows with warnings as errors, packs
# pbrain-kestrix.zip, checks that the .exe files import only system DLLs,
# then runs under Wine the unit tests, the process-level dialogues and
# referee games (the same ones the Linux engine passes, with CRLF line
# ends, and a comparison of answers with the Linux engine), and the
# benchmark, whose signature must equal the Linux build's.
#
# Wine runs without a display or a terminal: WINEPREFIX defaults to a
# folder under build/, set up on first use with Wine's installer dialogs
# turned off.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

bash tools/setup-deps.sh
bash tools/setup-windows-deps.sh --wine

export WINEPREFIX="${WINEPREFIX:-$(pwd)/build/wine-prefix}"
export WINEDEBUG=-all
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "=== setting up the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # No .NET or HTML engine is needed, so their install prompts never come.
  if ! WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" wineboot -i </dev/null >/dev/null 2>&1; then
    echo "Wine could not set up $WINEPREFIX" >&2
    exit 1
  fi
fi
# Our Wine server (and the services it keeps) goes when the script ends.
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT

echo "=== ci-windows"
cmake --preset ci-windows -DKESTRIX_TESTS=ON
cmake --build --preset ci-windows -j2
cmake --build --preset ci-windows --target pbrain-zip
build=build/ci-windows

echo "=== imported DLLs"
# A machine without a compiler has only the system's DLLs.
system_dlls='^(kernel32|msvcrt|ucrtbase|api-ms-win-.*|user32|advapi32|ws2_32|psapi|ntdll)\.dll$'
for program in "$build/pbrain-kestrix.exe" "$build/kestrix-bench.exe" "$build/tests/kestrix-tests.exe"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ {print $3}')
  echo "$(basename "$program"): $(echo $dlls)"
  for dll in $dlls; do
    if ! echo "$dll" | tr '[:upper:]' '[:lower:]' | grep -Eq "$system_dlls"; then
      echo "$program imports $dll, which a bare Windows does not have" >&2
      exit 1
    fi
  done
done

echo "=== pbrain-kestrix.zip"
python3 - "$build/pbrain-kestrix.zip" "$build/pbrain-kestrix.exe" <<'PY'
import sys, zipfile
archive, exe = sys.argv[1:]
with zipfile.ZipFile(archive) as z:
    names = sorted(z.namelist())
    assert names == ["pbrain-kestrix.exe", "pbrain-kestrix.txt"], names
    assert z.read("pbrain-kestrix.exe") == open(exe, "rb").read(), "the ZIP holds another .exe"
    assert z.read("pbrain-kestrix.exe")[:2] == b"MZ"
    print("  ".join(f"{i.filename} {i.file_size} bytes" for i in z.infolist()))
PY

# The .exe must answer as the Linux build does (check.sh has built
# it already; then this changes nothing).
cmake --preset ci-release >/dev/null
cmake --build --preset ci-release -j2 --target pbrain-kestrix kestrix-bench

echo "=== tests under Wine"
KESTRIX_LINUX_ENGINE="$(pwd)/build/ci-release/pbrain-kestrix" ctest --preset ci-windows

echo "=== benchmark signature, Linux and Windows"
signature() { sed -n 's/^Signature (total nodes): \([0-9]*\).*$/\1/p' | tr -d '\r'; }
linux=$(build/ci-release/kestrix-bench | signature)
windows=$("$WINE" "$build/kestrix-bench.exe" </dev/null | signature)
echo "Linux $linux, Windows under Wine $windows"
if [ -z "$linux" ] || [ "$linux" != "$windows" ]; then
  echo "the Windows build searches differently from the Linux build" >&2
  exit 1
fi

echo "=== Windows part passed in $((SECONDS - started)) s"
