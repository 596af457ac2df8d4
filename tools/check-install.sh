#!/usr/bin/env bash
# Run by tools/check.sh: the engine builds, installs and packs on a machine
# without GoogleTest, and asking for the tests there fails.
#   1. A plain Release configure with GoogleTest hidden from CMake says in
#      one line that the tests are off, builds the engine and the bench, and
#      `cmake --install` puts both under the prefix's bin/, with their
#      manual pages.
#   2. The same configure with -DKESTRIX_TESTS=ON fails.
#   3. The `package` target writes the .tar.gz and the .deb, each holding
#      the engine, the bench, their manual pages, the note on adding the
#      brain to a manager and the licence (the .deb's as Debian's copyright
#      file, with a changelog); lintian reports nothing on the .deb, and man
#      finds both pages by name where the .deb puts them.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/no-gtest
rm -rf "$build" build/no-gtest-required
mkdir -p "$build"
echo "=== without GoogleTest: configure, build, install"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKESTRIX_WERROR=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON | tee "$build/configure.log"
grep -q "GoogleTest not found: the tests are off" "$build/configure.log" || {
  echo "no line saying that the tests are off" >&2; exit 1; }
cmake --build "$build" -j2
[ ! -e "$build/tests" ] || { echo "tests configured without GoogleTest" >&2; exit 1; }
cmake --install "$build" --prefix "$build/stage"
for program in pbrain-kestrix kestrix-bench; do
  [ -x "$build/stage/bin/$program" ] || { echo "$program not installed" >&2; exit 1; }
  [ -f "$build/stage/share/man/man1/$program.1.gz" ] || {
    echo "no manual page for $program" >&2; exit 1; }
done
about=$(echo ABOUT | "$build/stage/bin/pbrain-kestrix")
echo "installed engine: $about"
case "$about" in name=\"Kestrix\"*) ;; *) echo "the installed engine does not answer ABOUT" >&2; exit 1 ;; esac

echo "=== without GoogleTest: -DKESTRIX_TESTS=ON must fail"
if cmake -S . -B build/no-gtest-required -DKESTRIX_TESTS=ON \
     -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON >"$build/required.log" 2>&1; then
  echo "configured with the tests required and GoogleTest missing" >&2
  exit 1
fi
echo "refused, as it should be"

echo "=== Linux packages"
cmake --build "$build" -j2 --target package
python3 - "$build" <<'PY'
import glob, subprocess, sys, tarfile
build = sys.argv[1]
common = {"bin/pbrain-kestrix", "bin/kestrix-bench", "share/doc/kestrix/pbrain-kestrix.txt",
          "share/man/man1/pbrain-kestrix.1.gz", "share/man/man1/kestrix-bench.1.gz"}
wanted = common | {"share/doc/kestrix/LICENSE"}
(archive,) = glob.glob(f"{build}/kestrix-*-Linux.tar.gz")
with tarfile.open(archive) as tar:
    files = {m.name.split("/", 1)[1] for m in tar.getmembers() if m.isfile()}
assert files == wanted, (archive, files)
print(f"{archive}: {', '.join(sorted(files))}")
(deb,) = glob.glob(f"{build}/kestrix_*.deb")
listing = subprocess.run(["dpkg-deb", "--contents", deb], capture_output=True, text=True,
                         check=True).stdout
files = {line.split()[-1].removeprefix("./usr/") for line in listing.splitlines()
         if line.startswith("-")}
wanted = common | {"share/doc/kestrix/copyright", "share/doc/kestrix/changelog.gz"}
assert files == wanted, (deb, files)
fields = subprocess.run(["dpkg-deb", "--field", deb, "Package", "Depends"],
                        capture_output=True, text=True, check=True).stdout
assert "Package: kestrix" in fields and "libstdc++6" in fields, fields
print(f"{deb}: {', '.join(sorted(files))}")
PY
rm -rf build/no-gtest-required

echo "=== lintian and man on the .deb"
wanted=()
command -v lintian >/dev/null 2>&1 || wanted+=(lintian)
command -v man >/dev/null 2>&1 || wanted+=(man-db)
bash tools/install-packages.sh --no-install-recommends "${wanted[@]}"
deb=$(echo "$build"/kestrix_*.deb)
lintian --allow-root --fail-on error,warning "$deb" | tee "$build/lintian.log"
if grep -q '^[EW]:' "$build/lintian.log"; then
  echo "lintian reports errors or warnings on $deb" >&2; exit 1
fi
echo "lintian: no errors, no warnings"
rm -rf "$build/deb" && dpkg-deb -x "$deb" "$build/deb"
for page in pbrain-kestrix kestrix-bench; do
  # By name, as `man pbrain-kestrix` finds it once the package is installed;
  # groff's warnings on the page fail the check.
  text=$(MANWIDTH=80 man --warnings -M "$build/deb/usr/share/man" "$page" 2>"$build/man.log")
  if [ -s "$build/man.log" ] || ! grep -q "^NAME" <<<"$text"; then
    cat "$build/man.log" >&2; echo "man $page: no clean page" >&2; exit 1
  fi
  echo "man $page: $(grep -A1 '^NAME' <<<"$text" | tail -1 | sed 's/^ *//')"
done
