#!/usr/bin/env bash
# The program binds the page-count library when it loads: without the library, or with a
# library that lacks GetFoliotally, it stops before any window with the loader's message.
set -u
exe="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
loader=$(readelf -l "$exe" | sed -n 's/.*Requesting program interpreter: \(.*\)]/\1/p')

# No library at all: ignore the program's own search path so the build tree's copy is unseen.
out=$(cd "$work" && timeout 20 "$loader" --inhibit-rpath "" "$exe" 2>&1)
rc=$?
echo "$out"
if [ $rc -ne 127 ]; then
  # The loader always searches the system's own folders: an installed package hides the test.
  installed=$(ldconfig -p | grep -F 'libfoliotally.so ' || true)
  [ -z "$installed" ] || echo "A libfoliotally.so is installed system-wide (remove the package" \
    "to run this test): $installed"
  echo "FAIL: expected exit 127 without the library, got $rc"
  exit 1
fi
grep -q "libfoliotally.so" <<<"$out" || { echo "FAIL: loader did not name the library"; exit 1; }

# A library of that name without the function.
echo 'int unrelated(void) { return 0; }' > "$work/stub.c"
cc -shared -fPIC -o "$work/libfoliotally.so" "$work/stub.c"
out=$(cd "$work" && LD_LIBRARY_PATH="$work" timeout 20 "$exe" 2>&1)
rc=$?
echo "$out"
[ $rc -eq 127 ] || { echo "FAIL: expected exit 127 without the function, got $rc"; exit 1; }
grep -q "GetFoliotally" <<<"$out" || { echo "FAIL: loader did not name the function"; exit 1; }
echo "1 passed, 0 failed"
