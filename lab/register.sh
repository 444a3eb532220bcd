#!/usr/bin/env bash
# Registers the lab network provider in a Wine prefix: usage
#   lab/register.sh PREFIX DLL [TOPOLOGY]
# DLL is the provider's Linux path; TOPOLOGY (optional) becomes the topology the provider serves
# when a process does not name one in CORVASK_LAB_TOPOLOGY. mpr reads the registration when a
# process starts, so register before starting the programs that should see the lab network.
set -euo pipefail
prefix=${1:?usage: register.sh PREFIX DLL [TOPOLOGY]}
dll=${2:?usage: register.sh PREFIX DLL [TOPOLOGY]}
topology=${3:-}
[ -f "$dll" ] || { echo "register.sh: no provider DLL at $dll" >&2; exit 1; }
[ -z "$topology" ] || [ -f "$topology" ] || { echo "register.sh: no topology at $topology" >&2; exit 1; }

# A Linux path as the prefix sees it through drive Z: (the root); doubled backslashes for .reg.
winpath() { local p; p=$(realpath "$1"); printf "%s" "Z:${p//\//\\}"; }
regpath() { local p; p=$(winpath "$1"); printf "%s" "${p//\\/\\\\}"; }

# Keep the providers already in the order; add ours at the end once.
order=$(awk '/^\[System\\\\CurrentControlSet\\\\Control\\\\NetworkProvider\\\\Order\]/{s=1;next}
             /^\[/{s=0} s && /^"ProviderOrder"=/{sub(/^"ProviderOrder"="/,""); sub(/"$/,""); print}' \
        "$prefix/system.reg" 2>/dev/null || true)
case ",$order," in
  *,CorvaskLab,*) ;;
  ,,) order=CorvaskLab ;;
  *) order="$order,CorvaskLab" ;;
esac

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  printf 'REGEDIT4\n\n'
  printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\NetworkProvider\\Order]\n'
  printf '"ProviderOrder"="%s"\n\n' "$order"
  printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\CorvaskLab\\NetworkProvider]\n'
  printf '"ProviderPath"="%s"\n"Name"="Corvask Lab Network"\n\n' "$(regpath "$dll")"
  if [ -n "$topology" ]; then
    printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\CorvaskLab\\Parameters]\n'
    printf '"Topology"="%s"\n\n' "$(regpath "$topology")"
  fi
} >"$reg"
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}" \
  wine regedit /S "$(winpath "$reg")" >/dev/null 2>&1 </dev/null
