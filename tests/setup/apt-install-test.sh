#!/usr/bin/env bash
# The install helper and the set-up against a package mirror in the middle of a sync, run
# natively with stand-ins for apt-get, dpkg, dpkg-query, sudo, locale and localedef on PATH.
# The stand-ins keep their state in a folder: which packages are installed, how many more
# `update` and `install` calls fail, and a log of every call.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CORVASK_APT_PAUSE=0 FAKE_APT="$work/state"
mkdir -p "$work/bin"

cat >"$work/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "apt-get $* frontend=${DEBIAN_FRONTEND:-}" >>"$FAKE_APT/calls"
words=()
while [ $# -gt 0 ]; do
  case "$1" in -o) shift 2 ;; -*) shift ;; *) words+=("$1"); shift ;; esac
done
# Uses up one of the failures still to come: fails N counts down in the file N.
fails() { local n; n=$(cat "$FAKE_APT/$1" 2>/dev/null || echo 0); [ "$n" -gt 0 ] && echo $((n - 1)) >"$FAKE_APT/$1"; }
case "${words[0]}" in
update)
  if fails update-failures; then
    echo "E: Failed to fetch http://mirror/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (2048 != 4096). Mirror sync in progress? [IP: 10.0.0.1 80]"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100
  fi ;;
install)
  if fails install-failures; then echo "E: Unable to locate package ${words[1]}"; exit 100; fi
  printf '%s\n' "${words[@]:1}" >>"$FAKE_APT/installed" ;;
remove) ;;
*) echo "fake apt-get: unexpected $*"; exit 1 ;;
esac
FAKE
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
grep -qxF "${!#}" "$FAKE_APT/installed" 2>/dev/null && printf 'install ok installed' && exit 0
echo "dpkg-query: no packages found matching ${!#}" >&2; exit 1
FAKE
cat >"$work/bin/dpkg" <<'FAKE'
#!/usr/bin/env bash
echo "dpkg $*" >>"$FAKE_APT/calls"
case "$1" in
--print-foreign-architectures) cat "$FAKE_APT/architectures" 2>/dev/null; exit 0 ;;
--add-architecture) echo "$2" >>"$FAKE_APT/architectures" ;;
esac
FAKE
cat >"$work/bin/locale" <<'FAKE'
#!/usr/bin/env bash
printf 'C\nC.utf8\nPOSIX\n'; cat "$FAKE_APT/locales" 2>/dev/null; exit 0
FAKE
cat >"$work/bin/localedef" <<'FAKE'
#!/usr/bin/env bash
echo "localedef $*" >>"$FAKE_APT/calls"
FAKE
printf '#!/usr/bin/env bash\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin"/*
export PATH="$work/bin:$PATH"

passed=0 failed=0
check() { # check WHAT COMMAND...: counts one check
  if "${@:2}"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}
fresh() { rm -rf "$FAKE_APT"; mkdir -p "$FAKE_APT"; : >"$FAKE_APT/calls"; }
calls() { grep -c "^$1" "$FAKE_APT/calls"; }
installed() { grep -qxF "$1" "$FAKE_APT/installed" 2>/dev/null; }
helper() { bash "$root/scripts/apt-install.sh" "$@" >"$work/out" 2>&1; }

# A mirror mid-sync: the first update fails on one index, the first install finds a package
# missing; the second round installs both packages.
fresh
echo 1 >"$FAKE_APT/update-failures"
echo 1 >"$FAKE_APT/install-failures"
helper samba smbclient
check "installs once the mirror has settled (exit $?)" [ $? -eq 0 ]
check "samba and smbclient installed" eval 'installed samba && installed smbclient'
check "two updates and two installs" [ "$(calls 'apt-get.* update')$(calls 'apt-get.* install')" = 22 ]
check "says why each round failed" grep -q 'Mirror sync in progress' "$work/out"
check "installs without questions" eval '! grep "install" "$FAKE_APT/calls" | grep -qv frontend=noninteractive'
check "no i386 for 64-bit packages" [ "$(calls 'dpkg --add-architecture')" = 0 ]

# An index that stays broken does not matter while the packages install from the others.
fresh
echo 3 >"$FAKE_APT/update-failures"
helper fuse3
check "goes on past a failing index (exit $?)" [ $? -eq 0 ]
check "one round is enough" [ "$(calls 'apt-get.* install')" = 1 ]

# What is installed is left alone; what is missing is all that is asked for.
fresh
echo samba >"$FAKE_APT/installed"
helper samba
check "nothing missing: apt-get is not called" [ "$(calls apt-get)" = 0 ]
helper samba zip
check "asks only for what is missing" grep -qE 'install .*--no-install-recommends zip frontend' "$FAKE_APT/calls"

# A package of the i386 architecture adds the architecture, once.
fresh
helper wine32:i386 wine
check "i386 added for wine32:i386" [ "$(cat "$FAKE_APT/architectures")" = i386 ]
check "wine32:i386 installed" installed wine32:i386

# A mirror that never settles: three rounds, then a failure that names the packages.
fresh
echo 9 >"$FAKE_APT/install-failures"
helper nsis
status=$?
check "fails after three rounds (exit $status)" [ $status -ne 0 ] && [ "$(calls 'apt-get.* install')" = 3 ]
check "names what it could not install" grep -q 'could not install nsis' "$work/out"

# The set-up on a machine whose tests run 64-bit: no i386 architecture and no 32-bit Wine; the
# two locales the window tests need are made when missing, and only then.
fresh
echo ja_JP.utf8 >"$FAKE_APT/locales"
CORVASK_ARCH=x86_64 bash "$root/scripts/setup.sh" >"$work/out" 2>&1
check "setup passes (exit $?)" [ $? -eq 0 ]
check "setup installs the tool chain and locales" eval 'installed nsis && installed locales && installed wine64'
check "setup adds no i386" eval '! installed wine32:i386 && [ "$(calls "dpkg --add-architecture")" = 0 ]'
check "setup makes zh_TW.UTF-8 only" [ "$(grep localedef "$FAKE_APT/calls")" = "localedef -i zh_TW -f UTF-8 zh_TW.UTF-8" ]

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
